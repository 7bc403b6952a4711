// SPDX-License-Identifier: MIT
#pragma once

#include "actions/tickrules.h"
#include "app/listmode.h"
#include "app/pairindices.h"
#include "listing/columns.h"
#include "listing/identitylist.h"
#include "listing/listedfile.h"
#include "listing/listing.h"

#include <QAbstractTableModel>
#include <QLocale>

#include <deque>
#include <memory>
#include <vector>

namespace twinsift {

// The rows of the result list. Rows are kept compact so that millions fit: a file row holds
// its raw path and size, a pair row two indices into the paths of the search that found it.
// Every text is made when the view asks for it. The first column shows the row's number and
// its check box; a row keeps its number when the rows are sorted.
class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Paths = std::shared_ptr<const std::vector<QByteArray>>;
    using Identities = std::shared_ptr<const IdentityList>;

    explicit ResultModel(QObject *parent = nullptr);

    // Sets the header and the kind of rows; any rows are removed.
    void setColumns(ListMode kind, std::span<const Column> columns);
    std::span<const Column> columns() const { return m_columns; }
    ListMode kind() const { return m_kind; }

    void appendFiles(std::vector<ListingRow> &&rows);
    // False, and nothing added, when the list already holds the pairs of 65536 searches.
    // `identities` (parallel to `paths`) and `rootLength` (the searched folder's part of every
    // path) tell a delete what each file was when it was found.
    bool appendPairs(const Paths &paths, const std::vector<PairIndices> &pairs,
                     const Identities &identities = {}, qsizetype rootLength = 0);
    void clearRows();

    quint64 number(int row) const;
    bool isChecked(int row) const;
    // A tick set by the program: it raises no itemCheck.
    void setChecked(int row, bool checked);
    // The file that clicks, ticks and deletion act on: "Path", or "File1" of a pair.
    QByteArray pathCell(int row) const;
    QByteArray secondPath(int row) const;
    // The path cells of the ticked rows, in the list's display order.
    QList<QByteArray> tickedPaths() const;
    // The same files as they were listed, for a delete to check them against.
    QList<ListedFile> tickedFiles() const;
    QString toolTipText(int row) const;
    // Swaps "File1" and "File2" of a pair row.
    void switchItems(int row);
    // The pair rows as the tick rules see them, and the files they join, each once.
    struct PairGraph {
        std::vector<QByteArray> files;
        std::vector<tickrules::PairSides> rows;
    };
    PairGraph pairGraph() const;
    // Switches and ticks the pair rows as `actions` says (one a row, from a plan made on
    // pairGraph()), and tells the view once for all of them. No itemCheck is raised.
    void applyTicks(const std::vector<tickrules::Action> &actions);
    // Unticks every row, with one signal.
    void untickAll();
    // Orders the rows by byte size or by similarity; rows the key does not apply to stay.
    void sortRows(SortKind key, Qt::SortOrder order);

    void setLocale(const QLocale &locale);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // The user changed a row's tick; the row holds the new state already.
    void itemCheck(int row);

private:
    // The identity's size is the listed size but for a link, whose own size (its target's
    // path) is below 4096. The number fits 32 bits, as the list's rows do.
    struct FileRow {
        QByteArray path;
        qint64 size = 0;
        quint64 inode = 0;
        qint64 mtimeNs = 0;
        quint32 number = 0;
        quint32 nameOffset = 0;
        quint16 device = IdentityList::kNoDevice;
        quint16 linkSize = 0;   // 0: the listed size
        quint16 rootLength = 0; // a folder to start a walk from is shorter than PATH_MAX
        bool checked = false;
    };
    static_assert(sizeof(FileRow) == 64);
    struct Search {
        Paths paths;
        Identities identities;
        qsizetype rootLength = 0;
    };
    struct PairRow {
        quint32 first;
        quint32 second;
        quint32 number;
        quint16 search; // which search's paths the indices refer to
        quint8 percent;
        bool checked;
    };
    static_assert(sizeof(PairRow) == 16);

    bool isPairs() const { return m_kind == ListMode::Duplicate; }
    bool holdsTick(int column) const;
    const QByteArray &pairPath(const PairRow &row, quint32 index) const;
    ListedFile listedFile(int row) const;
    QString fileText(const FileRow &row, Cell cell) const;
    QString pairText(const PairRow &row, Cell cell) const;
    template <typename Rows, typename Key> void reorder(Rows &rows, Key key, Qt::SortOrder order);

    ListMode m_kind = ListMode::Search;
    std::span<const Column> m_columns;
    // Deques: appending a batch never copies the rows already there, and no row costs more
    // than its own size, as a vector's doubling would.
    std::deque<FileRow> m_files;
    std::deque<PairRow> m_pairs;
    std::vector<Search> m_searches;
    IdentityList m_fileDevices; // the devices of the file rows' identities
    QLocale m_locale = QLocale::system();
};

} // namespace twinsift
