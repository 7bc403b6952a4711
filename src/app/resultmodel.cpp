// SPDX-License-Identifier: MIT
#include "resultmodel.h"

#include "listing/rawname.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>

namespace twinsift {

ResultModel::ResultModel(QObject *parent) : QAbstractTableModel(parent) {}

void ResultModel::setColumns(ListMode kind, std::span<const Column> columns)
{
    beginResetModel();
    m_kind = kind;
    m_columns = columns;
    m_files.clear();
    m_pairs.clear();
    m_searches.clear();
    m_fileDevices = {};
    endResetModel();
}

void ResultModel::appendFiles(std::vector<ListingRow> &&rows)
{
    if (rows.empty() || isPairs())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    for (ListingRow &row : rows) {
        const FileIdentity &id = row.identity;
        const bool ownSize = id.size != row.size;
        const bool fits = id.isKnown() && (!ownSize || id.size < 0x10000);
        m_files.push_back(
            FileRow{std::move(row.path), row.size, id.inode, id.mtimeNs, quint32(row.number),
                    quint32(row.nameOffset),
                    fits ? m_fileDevices.deviceIndex(id.device) : IdentityList::kNoDevice,
                    quint16(ownSize && fits ? id.size : 0), quint16(row.rootLength), false});
    }
    endInsertRows();
}

bool ResultModel::appendPairs(const Paths &paths, const std::vector<PairIndices> &pairs,
                              const Identities &identities, qsizetype rootLength)
{
    if (pairs.empty() || !isPairs())
        return true;
    if (m_searches.empty() || m_searches.back().paths != paths) {
        if (m_searches.size() > std::numeric_limits<quint16>::max())
            return false;
        m_searches.push_back({paths, identities, rootLength});
    }
    const auto search = quint16(m_searches.size() - 1);
    const int first = rowCount();
    beginInsertRows({}, first, first + int(pairs.size()) - 1);
    for (const PairIndices &pair : pairs)
        m_pairs.push_back(
            PairRow{pair.first, pair.second, pair.number, search, pair.percent, false});
    endInsertRows();
    return true;
}

void ResultModel::clearRows()
{
    if (rowCount() == 0)
        return;
    beginRemoveRows({}, 0, rowCount() - 1);
    m_files = {};
    m_pairs = {};
    m_searches.clear();
    m_fileDevices = {};
    endRemoveRows();
}

quint64 ResultModel::number(int row) const
{
    return isPairs() ? m_pairs[size_t(row)].number : m_files[size_t(row)].number;
}

bool ResultModel::isChecked(int row) const
{
    return isPairs() ? m_pairs[size_t(row)].checked : m_files[size_t(row)].checked;
}

void ResultModel::setChecked(int row, bool checked)
{
    if (isChecked(row) == checked)
        return;
    if (isPairs())
        m_pairs[size_t(row)].checked = checked;
    else
        m_files[size_t(row)].checked = checked;
    const QModelIndex cell = index(row, 0);
    Q_EMIT dataChanged(cell, cell, {Qt::CheckStateRole});
}

const QByteArray &ResultModel::pairPath(const PairRow &row, quint32 index) const
{
    return (*m_searches[row.search].paths)[index];
}

ListedFile ResultModel::listedFile(int row) const
{
    if (isPairs()) {
        const PairRow &pair = m_pairs[size_t(row)];
        const Search &search = m_searches[pair.search];
        const bool known = search.identities && pair.first < search.identities->size();
        return {pairPath(pair, pair.first), search.rootLength,
                known ? search.identities->at(pair.first) : FileIdentity{}};
    }
    const FileRow &file = m_files[size_t(row)];
    if (file.device == IdentityList::kNoDevice)
        return {file.path, file.rootLength, {}};
    return {file.path,
            file.rootLength,
            {m_fileDevices.device(file.device), file.inode,
             file.linkSize ? file.linkSize : file.size, file.mtimeNs}};
}

QByteArray ResultModel::pathCell(int row) const
{
    if (isPairs()) {
        const PairRow &pair = m_pairs[size_t(row)];
        return pairPath(pair, pair.first);
    }
    return m_files[size_t(row)].path;
}

QByteArray ResultModel::secondPath(int row) const
{
    if (!isPairs())
        return {};
    const PairRow &pair = m_pairs[size_t(row)];
    return pairPath(pair, pair.second);
}

QList<QByteArray> ResultModel::tickedPaths() const
{
    QList<QByteArray> paths;
    for (int row = 0; row < rowCount(); ++row) {
        if (isChecked(row))
            paths << pathCell(row);
    }
    return paths;
}

QList<ListedFile> ResultModel::tickedFiles() const
{
    QList<ListedFile> files;
    for (int row = 0; row < rowCount(); ++row) {
        if (isChecked(row))
            files << listedFile(row);
    }
    return files;
}

QString ResultModel::toolTipText(int row) const
{
    if (!isPairs())
        return rawname::display(pathCell(row));
    return rawname::display(pathCell(row)) + QStringLiteral("  <--->  ") +
           rawname::display(secondPath(row));
}

void ResultModel::switchItems(int row)
{
    if (!isPairs())
        return;
    PairRow &pair = m_pairs[size_t(row)];
    std::swap(pair.first, pair.second);
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1),
                       {Qt::DisplayRole, Qt::ToolTipRole});
}

ResultModel::PairGraph ResultModel::pairGraph() const
{
    PairGraph graph;
    if (!isPairs() || m_searches.empty())
        return graph;
    // Each search numbers its own files; where the list holds several, a file found by two
    // of them must be one file to the rules.
    std::vector<std::vector<quint32>> ids(m_searches.size());
    if (m_searches.size() == 1) {
        graph.files = *m_searches.front().paths;
    } else {
        QHash<QByteArray, quint32> known;
        for (size_t s = 0; s < m_searches.size(); ++s) {
            for (const QByteArray &path : *m_searches[s].paths) {
                const auto id = quint32(graph.files.size());
                const auto found = known.constFind(path);
                ids[s].push_back(found == known.cend() ? id : *found);
                if (found == known.cend()) {
                    known.insert(path, id);
                    graph.files.push_back(path);
                }
            }
        }
    }
    const auto id = [&](const PairRow &row, quint32 index) {
        return ids[row.search].empty() ? index : ids[row.search][index];
    };
    graph.rows.reserve(m_pairs.size());
    for (const PairRow &row : m_pairs)
        graph.rows.push_back({id(row, row.first), id(row, row.second), row.checked});
    return graph;
}

void ResultModel::applyTicks(const std::vector<tickrules::Action> &actions)
{
    if (!isPairs() || actions.size() != m_pairs.size() || m_pairs.empty())
        return;
    for (size_t i = 0; i < actions.size(); ++i) {
        if (actions[i] == tickrules::Action::SwitchAndTick)
            std::swap(m_pairs[i].first, m_pairs[i].second);
        if (actions[i] != tickrules::Action::None)
            m_pairs[i].checked = true;
    }
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                       {Qt::DisplayRole, Qt::CheckStateRole, Qt::ToolTipRole});
}

void ResultModel::untickAll()
{
    for (FileRow &row : m_files)
        row.checked = false;
    for (PairRow &row : m_pairs)
        row.checked = false;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

template <typename Rows, typename Key>
void ResultModel::reorder(Rows &rows, Key key, Qt::SortOrder order)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Positions ordered by key with a radix sort: linear in the rows, and stable, so rows with
    // equal keys keep their order. Descending order sorts the keys mirrored.
    const size_t count = rows.size();
    std::vector<quint64> keys(count);
    quint64 largest = 0;
    for (size_t i = 0; i < count; ++i) {
        keys[i] = quint64(key(rows[i]));
        largest = std::max(largest, keys[i]);
    }
    if (order == Qt::DescendingOrder) {
        for (quint64 &k : keys)
            k = largest - k;
    }
    std::vector<quint32> from(count), scratch(count);
    std::iota(from.begin(), from.end(), 0u);
    for (int shift = 0; shift < 64 && (largest >> shift) != 0; shift += 8) {
        std::array<size_t, 257> start{};
        for (quint32 i : from)
            ++start[((keys[i] >> shift) & 0xFF) + 1];
        std::partial_sum(start.begin(), start.end(), start.begin());
        for (quint32 i : from)
            scratch[start[(keys[i] >> shift) & 0xFF]++] = i;
        from.swap(scratch);
    }

    Rows sorted;
    std::vector<int> newRow(rows.size());
    for (size_t i = 0; i < count; ++i) {
        sorted.push_back(std::move(rows[from[i]]));
        newRow[from[i]] = int(i);
    }
    rows.swap(sorted);

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newRow[size_t(old.row())], old.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ResultModel::sortRows(SortKind key, Qt::SortOrder order)
{
    if (key == SortKind::Size && !isPairs())
        reorder(
            m_files, [](const FileRow &row) { return row.size; }, order);
    else if (key == SortKind::Similarity && isPairs())
        reorder(
            m_pairs, [](const PairRow &row) { return qint64(row.percent); }, order);
}

void ResultModel::setLocale(const QLocale &locale)
{
    m_locale = locale;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                           {Qt::DisplayRole});
}

int ResultModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return int(isPairs() ? m_pairs.size() : m_files.size());
}

// The row's number carries its check box.
bool ResultModel::holdsTick(int column) const
{
    return column >= 0 && size_t(column) < m_columns.size() &&
           m_columns[size_t(column)].cell == Cell::Number;
}

int ResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString ResultModel::fileText(const FileRow &row, Cell cell) const
{
    const ListingRow cells{row.number, row.path, row.nameOffset, row.size, {}, 0};
    switch (cell) {
    case Cell::Number:
        return QString::number(row.number);
    case Cell::Filename:
        return cells.filenameText();
    case Cell::Size:
        return cells.sizeText(m_locale);
    case Cell::Hash:
        return cells.hashText();
    case Cell::Path:
        return cells.pathText();
    default:
        return {};
    }
}

QString ResultModel::pairText(const PairRow &row, Cell cell) const
{
    switch (cell) {
    case Cell::Number:
        return QString::number(row.number);
    case Cell::File1:
        return rawname::display(pairPath(row, row.first));
    case Cell::File2:
        return rawname::display(pairPath(row, row.second));
    case Cell::Similarity:
        return QString::number(row.percent);
    default:
        return {};
    }
}

QVariant ResultModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return isPairs() ? pairText(m_pairs[size_t(row)], m_columns[size_t(column)].cell)
                         : fileText(m_files[size_t(row)], m_columns[size_t(column)].cell);
    case Qt::CheckStateRole:
        if (holdsTick(column))
            return isChecked(row) ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        return int(m_columns[size_t(column)].alignment | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        return toolTipText(row);
    default:
        return {};
    }
}

bool ResultModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !holdsTick(index.column()) ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    if (checked == isChecked(index.row()))
        return true;
    setChecked(index.row(), checked);
    Q_EMIT itemCheck(index.row());
    return true;
}

Qt::ItemFlags ResultModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (holdsTick(index.column()))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || size_t(section) >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[size_t(section)].title();
    if (role == Qt::TextAlignmentRole)
        return int(m_columns[size_t(section)].alignment | Qt::AlignVCenter);
    return {};
}

} // namespace twinsift
