// SPDX-License-Identifier: MIT
#include "foldertree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace twinsift {

FolderTree::FolderTree(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_tree(new QTreeView(this)),
      m_model(new QFileSystemModel(this))
{
    m_edit->setObjectName(QStringLiteral("folderPath"));
    m_edit->setPlaceholderText(tr("Folder"));
    m_edit->setToolTip(tr("Type or paste a folder and press Enter"));
    m_tree->setObjectName(QStringLiteral("folderTree"));
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setReadOnly(true);
    // A chosen folder that is removed moves the tree's current row to a neighbour: the path
    // stays the folder the user chose, so that the work says it has gone instead of walking
    // another folder. Connected before the tree's own handlers, which move it.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this] { m_removing = true; });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] { m_removing = false; });
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->header()->hide();
    m_tree->setUniformRowHeights(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit);
    layout->addWidget(m_tree, 1);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_tree);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && !m_removing)
                    setCurrent(m_model->filePath(current));
            });
    connect(m_edit, &QLineEdit::returnPressed, this, &FolderTree::onTyped);
    // The model reads folders in the background: show the current one once it is there.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this] {
        const QModelIndex current = m_model->index(m_path);
        if (!current.isValid())
            return;
        if (m_tree->currentIndex() != current) {
            const QSignalBlocker blocker(m_tree->selectionModel());
            m_tree->setCurrentIndex(current);
        }
        m_tree->scrollTo(current, QAbstractItemView::PositionAtCenter);
    });
}

QString FolderTree::rootPath() const
{
    return m_model->rootPath();
}

void FolderTree::setRootPath(const QString &root)
{
    m_tree->setRootIndex(m_model->setRootPath(root));
    setCurrent(root);
}

bool FolderTree::setPath(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    const QString root = QStorageInfo(clean).rootPath();
    if (!root.isEmpty() && root != rootPath()) {
        m_tree->setRootIndex(m_model->setRootPath(root));
        Q_EMIT rootChanged(root);
    }
    const QModelIndex index = m_model->index(clean);
    if (index.isValid()) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
    }
    setCurrent(clean);
    return true;
}

// The model reads folders in the background and the tree has no size before it is shown:
// reveal the chosen folder once it can be seen.
void FolderTree::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_tree->scrollTo(m_model->index(m_path), QAbstractItemView::PositionAtCenter);
}

void FolderTree::setCurrent(const QString &folder)
{
    m_edit->setText(folder);
    if (folder == m_path)
        return;
    m_path = folder;
    Q_EMIT pathChanged(m_path);
}

// A relative path is taken from the folder shown; spaces pasted around a folder's path are
// dropped when the path as typed names no folder.
void FolderTree::onTyped()
{
    const QString typed = m_edit->text();
    const QDir shown(m_path);
    if (!setPath(shown.filePath(typed)) && !setPath(shown.filePath(typed.trimmed()))) {
        m_edit->setText(m_path);
        Q_EMIT rejected(typed);
    }
}

} // namespace twinsift
