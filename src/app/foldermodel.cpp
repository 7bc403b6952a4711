// SPDX-License-Identifier: MIT
#include "foldermodel.h"

#include "app/background.h"
#include "listing/folderlisting.h"

#include <QAbstractFileIconProvider>
#include <QCollator>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

namespace twinsift {

struct FolderModel::Node {
    // A folder, whose content stands as "Reading..." until it is read.
    Node(QByteArray raw, Node *up) : name(std::move(raw)), text(QFile::decodeName(name)), parent(up)
    {
        children.push_back(std::make_unique<Node>(tr("Reading..."), this));
    }
    // A greyed row in place of its folder's content.
    Node(QString says, Node *up) : text(std::move(says)), parent(up), note(true) {}

    QByteArray name; // raw; empty for the root and for a note
    QString text;
    Node *parent;
    int row = 0;
    bool note = false;
    enum class State { Unread, Reading, Read } state = State::Unread;
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

// The sub-folders of the open folder `fd` in the order the tree shows them: by name, numbers
// by their value, letters of either case together.
FolderModel::Listing subfolders(int fd)
{
    FolderModel::Listing found;
    // No file is looked up: only an entry of unknown kind is asked whether it is a folder.
    const FolderListing listing = FolderListing::read(fd, [](QByteArrayView) { return false; });
    for (const FolderListing::Problem &problem : listing.problems()) {
        if (problem.name.isEmpty())
            found.error = problem.error;
    }
    std::vector<std::pair<QString, QByteArray>> named;
    for (const FolderListing::Entry &entry : listing.entries()) {
        if (entry.isFolder) {
            const QByteArray raw = listing.name(entry).toByteArray();
            named.emplace_back(QFile::decodeName(raw), raw);
        }
    }
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(named.begin(), named.end(), [&collator](const auto &a, const auto &b) {
        const int order = collator.compare(a.first, b.first);
        return order != 0 ? order < 0 : a.second < b.second;
    });
    for (auto &[shown, raw] : named)
        found.names.push_back(std::move(raw));
    return found;
}

int openTop(const QByteArray &root)
{
    return ::open(root.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// `path` below `root`, by its names; none when it does not lie there.
std::optional<QList<QByteArray>> below(const QByteArray &root, const QByteArray &path)
{
    if (!path.startsWith(root) ||
        (path.size() > root.size() && !root.endsWith('/') && path[root.size()] != '/'))
        return std::nullopt;
    QList<QByteArray> names = path.mid(root.size()).split('/');
    names.removeAll(QByteArray());
    return names;
}

} // namespace

FolderModel::FolderModel(QObject *parent)
    : QAbstractItemModel(parent), m_root(std::make_unique<Node>(QByteArray(), nullptr)),
      m_folderIcon(QAbstractFileIconProvider().icon(QAbstractFileIconProvider::Folder))
{
    // Nothing to show, nor to read, before a root is set.
    m_root->children.clear();
    m_root->state = Node::State::Read;
}

FolderModel::~FolderModel() = default;

std::vector<FolderModel::Listing> FolderModel::readDown(const QString &root, const QString &folder)
{
    const QByteArray top = QFile::encodeName(root);
    const std::optional<QList<QByteArray>> names = below(top, QFile::encodeName(folder));
    std::vector<Listing> listings;
    if (!names || names->isEmpty())
        return listings;
    // Each level down is opened from the one above, without following links.
    int fd = openTop(top);
    for (qsizetype level = 0; level < names->size(); ++level) {
        if (fd < 0) {
            listings.push_back({{}, errno});
            break;
        }
        listings.push_back(subfolders(fd));
        const bool deeper = level + 1 < names->size() && listings.back().error == 0;
        const int below = deeper ? FolderListing::open(fd, names->at(level)) : -1;
        const int error = errno;
        ::close(fd);
        if (!deeper)
            break;
        fd = below;
        errno = error;
    }
    return listings;
}

void FolderModel::setRootPath(const QString &root)
{
    beginResetModel();
    m_root = std::make_unique<Node>(QByteArray(), nullptr);
    m_rootPath = root;
    ++m_generation;
    endResetModel();
}

QByteArray FolderModel::rawPath(const Node *node) const
{
    std::vector<const QByteArray *> names;
    for (; node && node->parent; node = node->parent)
        names.push_back(&node->name);
    QByteArray path = QFile::encodeName(m_rootPath);
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        if (!path.endsWith('/'))
            path += '/';
        path += **name;
    }
    return path;
}

QString FolderModel::filePath(const QModelIndex &index) const
{
    return QFile::decodeName(rawPath(node(index)));
}

std::optional<std::vector<QByteArray>> FolderModel::components(const QString &folder) const
{
    const std::optional<QList<QByteArray>> names =
        below(QFile::encodeName(m_rootPath), QFile::encodeName(folder));
    if (!names)
        return std::nullopt;
    return std::vector<QByteArray>(names->begin(), names->end());
}

FolderModel::Node *FolderModel::find(const std::vector<QByteArray> &names, size_t depth) const
{
    Node *at = m_root.get();
    for (size_t level = 0; at && level < depth; ++level) {
        const auto &children = at->children;
        const auto child = std::find_if(children.begin(), children.end(), [&](const auto &c) {
            return !c->note && c->name == names[level];
        });
        at = child == children.end() ? nullptr : child->get();
    }
    return at;
}

QModelIndex FolderModel::index(const QString &folder) const
{
    const std::optional<std::vector<QByteArray>> names = components(folder);
    return names ? indexOf(find(*names, names->size())) : QModelIndex();
}

void FolderModel::adopt(const QString &folder, const std::vector<Listing> &listings)
{
    const std::optional<std::vector<QByteArray>> names = components(folder);
    if (!names || names->size() != listings.size())
        return;
    for (size_t level = 0; level < listings.size(); ++level) {
        Node *at = find(*names, level);
        if (!at)
            return;
        setChildren(at, listings[level]);
    }
}

void FolderModel::reread(const QModelIndex &index)
{
    Node *folder = node(index);
    if (folder && !folder->note && folder->state == Node::State::Read)
        read(folder);
}

void FolderModel::read(Node *folder)
{
    folder->state = Node::State::Reading;
    std::vector<QByteArray> names;
    for (const Node *at = folder; at->parent; at = at->parent)
        names.insert(names.begin(), at->name);
    background::run<Listing>(
        this,
        [top = QFile::encodeName(m_rootPath), names] {
            int fd = openTop(top);
            QByteArray path;
            for (const QByteArray &name : names)
                path += (path.isEmpty() ? "" : "/") + name;
            if (fd >= 0 && !path.isEmpty()) {
                const int below = FolderListing::open(fd, path);
                const int error = errno;
                ::close(fd);
                fd = below;
                errno = error;
            }
            if (fd < 0)
                return Listing{{}, errno};
            Listing found = subfolders(fd);
            ::close(fd);
            return found;
        },
        [this, names, generation = m_generation](const Listing &listing) {
            Node *read = generation == m_generation ? find(names, names.size()) : nullptr;
            if (read && read->state == Node::State::Reading)
                setChildren(read, listing);
        });
}

void FolderModel::setChildren(Node *folder, const Listing &listing)
{
    folder->state = Node::State::Read;
    auto &children = folder->children;
    const auto made = [folder](const std::vector<QByteArray> &names) {
        std::vector<std::unique_ptr<Node>> nodes;
        for (const QByteArray &name : names)
            nodes.push_back(std::make_unique<Node>(name, folder));
        return nodes;
    };
    if (listing.error != 0) {
        std::vector<std::unique_ptr<Node>> note;
        note.push_back(std::make_unique<Node>(
            tr("Cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(listing.error))),
            folder));
        replaceChildren(folder, std::move(note));
        return;
    }
    // Folders read before keep their rows (and what is open below them), when they still
    // stand in the same order; else the rows are made anew.
    const QSet<QByteArray> wanted(listing.names.begin(), listing.names.end());
    const auto stays = [&wanted](const std::unique_ptr<Node> &child) {
        return !child->note && wanted.contains(child->name);
    };
    QSet<QByteArray> kept;
    std::vector<QByteArray> keptOrder, newOrder;
    for (const auto &child : children) {
        if (stays(child)) {
            kept.insert(child->name);
            keptOrder.push_back(child->name);
        }
    }
    for (const QByteArray &name : listing.names) {
        if (kept.contains(name))
            newOrder.push_back(name);
    }
    if (keptOrder != newOrder) {
        replaceChildren(folder, made(listing.names));
        return;
    }
    const QModelIndex parent = indexOf(folder);
    const auto renumber = [&children](size_t from) {
        for (size_t row = from; row < children.size(); ++row)
            children[row]->row = int(row);
    };
    // Rows that went, in runs from the end.
    for (size_t end = children.size(); end > 0;) {
        if (stays(children[end - 1])) {
            --end;
            continue;
        }
        size_t first = end - 1;
        while (first > 0 && !stays(children[first - 1]))
            --first;
        beginRemoveRows(parent, int(first), int(end - 1));
        children.erase(children.begin() + qsizetype(first), children.begin() + qsizetype(end));
        renumber(first);
        endRemoveRows();
        end = first;
    }
    // New rows, in runs before each kept one.
    size_t at = 0;
    for (size_t from = 0; from < listing.names.size();) {
        const auto keptHere = [&](size_t name) {
            return at < children.size() && children[at]->name == listing.names[name];
        };
        if (keptHere(from)) {
            ++at;
            ++from;
            continue;
        }
        size_t to = from;
        while (to < listing.names.size() && !keptHere(to))
            ++to;
        beginInsertRows(parent, int(at), int(at + to - from - 1));
        std::vector<std::unique_ptr<Node>> run =
            made({listing.names.begin() + qsizetype(from), listing.names.begin() + qsizetype(to)});
        children.insert(children.begin() + qsizetype(at), std::make_move_iterator(run.begin()),
                        std::make_move_iterator(run.end()));
        renumber(at);
        endInsertRows();
        at += to - from;
        from = to;
    }
}

void FolderModel::replaceChildren(Node *folder, std::vector<std::unique_ptr<Node>> children)
{
    const QModelIndex parent = indexOf(folder);
    if (!folder->children.empty()) {
        beginRemoveRows(parent, 0, int(folder->children.size()) - 1);
        folder->children.clear();
        endRemoveRows();
    }
    if (children.empty())
        return;
    beginInsertRows(parent, 0, int(children.size()) - 1);
    folder->children = std::move(children);
    for (size_t row = 0; row < folder->children.size(); ++row)
        folder->children[row]->row = int(row);
    endInsertRows();
}

FolderModel::Node *FolderModel::node(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : m_root.get();
}

QModelIndex FolderModel::indexOf(const Node *node) const
{
    return node && node->parent ? createIndex(node->row, 0, node) : QModelIndex();
}

QModelIndex FolderModel::index(int row, int column, const QModelIndex &parent) const
{
    const Node *folder = node(parent);
    if (column != 0 || row < 0 || size_t(row) >= folder->children.size())
        return {};
    return createIndex(row, 0, folder->children[size_t(row)].get());
}

QModelIndex FolderModel::parent(const QModelIndex &child) const
{
    return child.isValid() ? indexOf(node(child)->parent) : QModelIndex();
}

int FolderModel::rowCount(const QModelIndex &parent) const
{
    return parent.column() > 0 ? 0 : int(node(parent)->children.size());
}

int FolderModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant FolderModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Node *at = node(index);
    switch (role) {
    case Qt::DisplayRole:
        return at->text;
    case Qt::ToolTipRole:
        return at->note ? QVariant(at->text) : QVariant();
    case Qt::DecorationRole:
        return at->note ? QVariant() : QVariant(m_folderIcon);
    default:
        return {};
    }
}

Qt::ItemFlags FolderModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return node(index)->note ? Qt::ItemNeverHasChildren : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool FolderModel::canFetchMore(const QModelIndex &parent) const
{
    const Node *folder = node(parent);
    return !folder->note && folder->state == Node::State::Unread;
}

void FolderModel::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent))
        read(node(parent));
}

} // namespace twinsift
