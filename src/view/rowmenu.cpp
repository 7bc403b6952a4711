// SPDX-License-Identifier: MIT
#include "rowmenu.h"

namespace twinsift {

RowMenu::RowMenu(QWidget *parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("rowMenu"));
    QAction *open = addAction(tr("&Open"));
    open->setObjectName(QStringLiteral("openFile"));
    QAction *folder = addAction(tr("Open Containing &Folder"));
    folder->setObjectName(QStringLiteral("openFolder"));
    addSeparator();
    QAction *copy = addAction(tr("&Copy Path"));
    copy->setObjectName(QStringLiteral("copyPath"));

    connect(open, &QAction::triggered, this, [this] { Q_EMIT openFile(m_file); });
    connect(folder, &QAction::triggered, this, [this] { Q_EMIT openFolder(m_file); });
    connect(copy, &QAction::triggered, this, [this] { Q_EMIT copyPaths(m_paths); });
}

void RowMenu::showFor(const QByteArray &file, const QList<QByteArray> &paths,
                      const QPoint &globalPos)
{
    m_file = file;
    m_paths = paths;
    popup(globalPos);
}

} // namespace twinsift
