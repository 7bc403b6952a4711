// SPDX-License-Identifier: MIT
#pragma once

#include "view/imagepreview.h"

#include <QObject>

#include <memory>

namespace twinsift {

// Decodes pictures for the preview off the GUI thread. Only the latest request is answered:
// a click on another row, or cancel(), makes any decode still running of no account. Each
// decode runs on a thread of its own that is never waited for, so that a file on a hung
// mount holds up neither the window nor its closing.
class PictureLoader : public QObject {
    Q_OBJECT
public:
    explicit PictureLoader(QObject *parent = nullptr);
    ~PictureLoader() override;

    void load(const QByteArray &path);
    void cancel();

Q_SIGNALS:
    void loaded(const twinsift::imagepreview::Preview &preview);

private:
    struct Shared;
    void deliver(quint64 request, const imagepreview::Preview &preview);

    std::shared_ptr<Shared> m_shared;
    quint64 m_latest = 0;
};

} // namespace twinsift
