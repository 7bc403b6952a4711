// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractItemModel>
#include <QByteArray>
#include <QIcon>

#include <memory>
#include <optional>
#include <vector>

namespace twinsift {

// The folders of one volume, for the folder tree. A folder's sub-folders are read on a
// background thread when it is first opened, and again each time the user opens it, so the
// GUI thread never waits on a slow or hung mount. Hidden folders and links are left out, and
// no link is followed on the way down. While a folder is read, or when it cannot be, it
// holds one greyed row that says so.
class FolderModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // One folder's sub-folders as read: raw names in the order shown, or the errno that kept
    // the folder from being read.
    struct Listing {
        std::vector<QByteArray> names;
        int error = 0;
    };

    explicit FolderModel(QObject *parent = nullptr);
    ~FolderModel() override;

    // The folders on the way from `root` down to `folder` (an absolute path without links),
    // each read in turn: `root` first, `folder`'s parent last. It asks the file system: call
    // it off the GUI thread.
    static std::vector<Listing> readDown(const QString &root, const QString &folder);

    QString rootPath() const { return m_rootPath; }
    // Shows the folders below `root`, read anew.
    void setRootPath(const QString &root);
    QString filePath(const QModelIndex &index) const;
    // The row of `folder`, when it and the folders above it have been read.
    QModelIndex index(const QString &folder) const;
    // Takes what readDown() read on the way to `folder`.
    void adopt(const QString &folder, const std::vector<Listing> &listings);
    // Reads an opened folder again, to show what changed since.
    void reread(const QModelIndex &index);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    struct Node;

    Node *node(const QModelIndex &index) const;
    QModelIndex indexOf(const Node *node) const;
    QByteArray rawPath(const Node *node) const;
    // `folder`'s names below the root; none when it lies elsewhere.
    std::optional<std::vector<QByteArray>> components(const QString &folder) const;
    Node *find(const std::vector<QByteArray> &names, size_t depth) const;
    void read(Node *folder);
    void setChildren(Node *folder, const Listing &listing);
    void replaceChildren(Node *folder, std::vector<std::unique_ptr<Node>> children);

    std::unique_ptr<Node> m_root;
    QString m_rootPath;
    quint64 m_generation = 0; // a listing read for an earlier root is dropped
    QIcon m_folderIcon;
};

} // namespace twinsift
