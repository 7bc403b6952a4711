// SPDX-License-Identifier: MIT
#pragma once

#include "view/imagepreview.h"

#include <QObject>

namespace twinsift {

// Decodes pictures for the preview off the GUI thread, on a pool of two threads. Only the
// latest request is answered: a click on another row, or cancel(), makes any decode still
// running of no account and drops those still waiting. The pool is never waited for, so a
// file on a hung mount holds up neither the window nor its closing.
class PictureLoader : public QObject {
    Q_OBJECT
public:
    explicit PictureLoader(QObject *parent = nullptr) : QObject(parent) {}

    void load(const QByteArray &path);
    void cancel();

Q_SIGNALS:
    void loaded(const twinsift::imagepreview::Preview &preview);

private:
    quint64 m_latest = 0;
};

} // namespace twinsift
