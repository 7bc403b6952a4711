// SPDX-License-Identifier: MIT
#pragma once

#include "app/foldermodel.h"

#include <QTreeView>
#include <QWidget>

#include <optional>

class QLineEdit;

namespace twinsift {

// The folder picker: a field where a folder can be typed or pasted, over a tree of one
// volume's folders (hidden ones left out). Its path is the folder last opened, selected or
// typed; that is the folder the listing and the search walk.
class FolderTree : public QWidget {
    Q_OBJECT
public:
    // A folder as the tree shows it: its clean absolute path, the root of its volume, where
    // it really lies (no link on the way), and the folders on the way there, read.
    struct Place {
        QString folder;
        QString root;
        QString real;
        std::vector<FolderModel::Listing> listings;
    };

    explicit FolderTree(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Shows `place` and makes its folder the path.
    void show(const Place &place);
    QString rootPath() const;
    // Shows the volume rooted at `root` and makes its root the path.
    void setRootPath(const QString &root);

Q_SIGNALS:
    void pathChanged(const QString &path);
    // A typed folder lies on another volume; the tree now shows that volume.
    void rootChanged(const QString &root);
    // What was typed is not a folder; the path stays as it was.
    void rejected(const QString &typed);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setCurrent(const QString &folder);
    void onTyped();
    // Selects `index` and scrolls to it, opening the folders above it, as no user did.
    void reveal(const QModelIndex &index, QAbstractItemView::ScrollHint hint);

    QLineEdit *m_edit;
    QTreeView *m_tree;
    FolderModel *m_model;
    QString m_path;
    bool m_removing = false;
    bool m_revealing = false;
};

} // namespace twinsift
