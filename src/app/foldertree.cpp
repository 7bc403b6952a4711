// SPDX-License-Identifier: MIT
#include "foldertree.h"

#include "app/background.h"
#include "app/places.h"

#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace twinsift {

FolderTree::FolderTree(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_tree(new QTreeView(this)),
      m_model(new FolderModel(this))
{
    m_edit->setObjectName(QStringLiteral("folderPath"));
    m_edit->setPlaceholderText(tr("Folder"));
    m_edit->setToolTip(tr("Type or paste a folder and press Enter"));
    m_edit->setAccessibleName(tr("Folder"));
    m_edit->setAccessibleDescription(tr("Type or paste a folder and press Enter"));
    m_edit->installEventFilter(this);
    m_tree->setObjectName(QStringLiteral("folderTree"));
    m_tree->setAccessibleName(tr("Folders"));
    m_tree->setAccessibleDescription(tr("The folder to list or search"));
    // A chosen folder that is removed moves the tree's current row to a neighbour: the path
    // stays the folder the user chose, so that the work says it has gone instead of walking
    // another folder. Connected before the tree's own handlers, which move it.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this] { m_removing = true; });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] { m_removing = false; });
    m_tree->setModel(m_model);
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
                if (current.isValid() && !m_removing && !m_revealing)
                    setCurrent(m_model->filePath(current));
            });
    // A folder the user opens again is read again, to show what changed since.
    connect(m_tree, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        if (!m_revealing)
            m_model->reread(index);
    });
    connect(m_edit, &QLineEdit::returnPressed, this, &FolderTree::onTyped);
}

QString FolderTree::rootPath() const
{
    return m_model->rootPath();
}

void FolderTree::setRootPath(const QString &root)
{
    m_model->setRootPath(root);
    setCurrent(root);
}

void FolderTree::show(const Place &place)
{
    if (!place.root.isEmpty() && place.root != rootPath()) {
        m_model->setRootPath(place.root);
        Q_EMIT rootChanged(place.root);
    }
    m_model->adopt(place.real, place.listings);
    reveal(m_model->index(place.real), QAbstractItemView::EnsureVisible);
    setCurrent(place.folder);
}

void FolderTree::reveal(const QModelIndex &index, QAbstractItemView::ScrollHint hint)
{
    if (!index.isValid())
        return;
    const QScopedValueRollback guard(m_revealing, true);
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index, hint);
}

// The tree has no size before it is shown: reveal the chosen folder once it can be seen.
void FolderTree::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    reveal(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
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
// dropped when the path as typed names no folder. The look runs off the GUI thread, as the
// folder may lie on a slow or hung mount.
void FolderTree::onTyped()
{
    const QString typed = m_edit->text();
    const QDir shown(m_path);
    background::run<std::optional<Place>>(
        this,
        [asTyped = shown.filePath(typed), trimmed = shown.filePath(typed.trimmed())] {
            std::optional<Place> found = places::folder(asTyped);
            return found ? found : places::folder(trimmed);
        },
        [this, typed](const std::optional<Place> &found) {
            if (found) {
                show(*found);
                return;
            }
            m_edit->setText(m_path);
            Q_EMIT rejected(typed);
        });
}

// Ctrl+Z restores the last deletion anywhere in the window: the field gives up its own undo,
// which for a path typed in one go is rarely wanted, rather than swallow the key.
bool FolderTree::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Undo)) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace twinsift
