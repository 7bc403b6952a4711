// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include <optional>

class QFileSystemModel;
class QLineEdit;
class QTreeView;

namespace twinsift {

// The folder picker: a field where a folder can be typed or pasted, over a tree of one
// volume's folders (hidden ones left out). Its path is the folder last opened, selected or
// typed; that is the folder the listing and the search walk.
class FolderTree : public QWidget {
    Q_OBJECT
public:
    // A folder as the tree shows it: its clean absolute path and the root of its volume.
    struct Place {
        QString folder;
        QString root;
    };

    explicit FolderTree(QWidget *parent = nullptr);

    // Where `folder` stands; none when it is not a folder. It asks the file system: call it
    // off the GUI thread.
    static std::optional<Place> place(const QString &folder);

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

    QLineEdit *m_edit;
    QTreeView *m_tree;
    QFileSystemModel *m_model;
    QString m_path;
    bool m_removing = false;
};

} // namespace twinsift
