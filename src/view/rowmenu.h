// SPDX-License-Identifier: MIT
#pragma once

#include "actions/tickrules.h"

#include <QByteArray>
#include <QList>
#include <QMenu>

namespace twinsift {

// The menu of a result row: open its file, open the folder that holds it, copy its path;
// compare the contents of every pair, tick one file in every pair by a rule (where wanted,
// only in pairs of the same contents), untick all, restore the last deletion. It keeps the paths
// it was shown for, so its actions reach the files of that row whatever happens to the list
// while it is open. Shown where there is no row, it offers only what needs none.
class RowMenu : public QMenu {
    Q_OBJECT
public:
    explicit RowMenu(QWidget *parent = nullptr);

    // `file` is what "Open" and "Open Containing Folder" act on, and whose folder the folder
    // rules take; `paths` what "Copy Path" copies. Both are empty where there is no row. The
    // rules are offered on pair lists; the restore while there is a deletion to undo. The
    // menu pops up at `globalPos` and returns at once.
    void showFor(const QByteArray &file, const QList<QByteArray> &paths, const QPoint &globalPos,
                 bool pairs, bool restorable);

    QByteArray file() const { return m_file; }
    // Whether the rules tick only pairs whose files hold the same bytes.
    bool onlySameContents() const;
    QList<QByteArray> paths() const { return m_paths; }

Q_SIGNALS:
    void openFile(const QByteArray &path);
    void openFolder(const QByteArray &path);
    void copyPaths(const QList<QByteArray> &paths);
    void compareContents();
    // `folder` ends in "/".
    void tickRule(tickrules::Rule rule, const QByteArray &folder);
    void untickAll();
    void restoreLastDeletion();

private:
    QByteArray m_file;
    QList<QByteArray> m_paths;
    QList<QAction *> m_fileActions;
    QAction *m_compare;
    QMenu *m_rules;
    QAction *m_onlySame;
    QAction *m_untick;
    QAction *m_restore;
};

} // namespace twinsift
