// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QMenu>

namespace twinsift {

// The menu of a result row: open its file, open the folder that holds it, copy its path.
// It keeps the paths it was shown for, so its actions reach the files of that row whatever
// happens to the list while it is open. It never ticks or unticks anything.
class RowMenu : public QMenu {
    Q_OBJECT
public:
    explicit RowMenu(QWidget *parent = nullptr);

    // `file` is what "Open" and "Open Containing Folder" act on; `paths` what "Copy Path"
    // copies. The menu pops up at `globalPos` and returns at once.
    void showFor(const QByteArray &file, const QList<QByteArray> &paths, const QPoint &globalPos);

    QByteArray file() const { return m_file; }
    QList<QByteArray> paths() const { return m_paths; }

Q_SIGNALS:
    void openFile(const QByteArray &path);
    void openFolder(const QByteArray &path);
    void copyPaths(const QList<QByteArray> &paths);

private:
    QByteArray m_file;
    QList<QByteArray> m_paths;
};

} // namespace twinsift
