// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QUrl>

#include <functional>

class QMimeData;

namespace twinsift {

// What the row menu and Enter do with a row's files: open one with the desktop's program,
// open the folder that holds it, or copy paths. Each says in one line what went wrong, or
// what was copied.
class RowActions : public QObject {
    Q_OBJECT
public:
    using Opener = std::function<bool(const QUrl &)>;

    explicit RowActions(QObject *parent = nullptr);

    // The desktop's opener, replaced by tests.
    void setOpener(Opener opener) { m_open = std::move(opener); }

    void openFile(const QByteArray &path);
    void openFolder(const QByteArray &path);
    void copyPaths(const QList<QByteArray> &paths);

    // The clipboard's content for `paths`: one path a line as people read them, and the files
    // as URLs made from their raw bytes, which file managers and terminals paste exactly.
    static QMimeData *pathsData(const QList<QByteArray> &paths);

Q_SIGNALS:
    void said(const QString &text);

private:
    Opener m_open;
};

} // namespace twinsift
