// SPDX-License-Identifier: MIT
#pragma once

#include "filerecords.h"
#include "listing/columns.h"
#include "listing/identitylist.h"

#include <QStringList>

#include <atomic>
#include <functional>
#include <stop_token>
#include <vector>

namespace twinsift {

struct SearchStats {
    quint64 candidates = 0;
    quint64 comparisons = 0;   // candidate pairs looked at: n (n - 1) / 2 for a whole search
    qint64 elapsedSeconds = 0; // whole seconds, start to end, by a clock that only goes forward
    quint64 pairs = 0;
    bool stopped = false;
};

// Work units done of `total`, for a timer on another thread to read.
struct SearchProgress {
    std::atomic<quint64> done{0};
    std::atomic<quint64> total{0};
};

// A pair of candidates, by their 0-based position in table order; `first` < `second`.
using PairSink = std::function<void(quint32 first, quint32 second, int percent)>;

inline QStringList pairColumns()
{
    return columns::texts(columns::pairs());
}

// The statistics text shown after a search, one line each.
QStringList statisticsLines(const SearchStats &stats);

// Drains `fileRecords` and hands every pair of candidates whose extension keys are equal and
// whose stems are more alike than `percent` to `sink`: in order of the first candidate, then
// of the second, exactly as comparing every candidate with every later one would. The paths
// of the candidates, in table order, are moved into `paths`, and their identities, when asked
// for, into `identities`.
//
// Identical stems are grouped, and only distinct stems of one extension key are joined, with
// length, prefix and position filters on their letter pairs; pairs stream out at the end, so
// memory grows with the number of distinct alike stems, not with the number of rows.
SearchStats findDuplicates(FileRecords &fileRecords, int percent, std::vector<QByteArray> &paths,
                           const PairSink &sink, std::stop_token stop = {},
                           SearchProgress *progress = nullptr, unsigned threads = 0,
                           IdentityList *identities = nullptr);

} // namespace twinsift
