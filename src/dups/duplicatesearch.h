// SPDX-License-Identifier: MIT
#pragma once

#include "filerecords.h"
#include "listing/columns.h"
#include "stemindex.h"

#include <QStringList>

#include <atomic>
#include <functional>
#include <span>
#include <stop_token>
#include <thread>
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

// The threads a search may use. `start` starts one worker (std::jthread's constructor when
// empty); like it, it throws std::system_error when the process may have no more threads, and
// the search then goes on with those it has, the calling thread at least.
struct SearchThreads {
    unsigned count = 0; // 0: one a core
    std::function<std::jthread(std::function<void()>)> start;
};

// How the join finds its candidates. A key of more than `indexKeysFrom` distinct stems gets
// an index, and its stems with at least `indexFrom` stems to be joined with look them up there;
// the others compare signatures with each. Below some 30,000 stems a key of names as alike as
// a system's own files is joined faster without. A combination of two tokens of more than
// `splitFrom` stems is also indexed with a third. A probe whose buckets hold more entries than
// half its window scans it instead, unless `scanWhenCheaper` is false. Tests lower the three
// bounds and turn the scan off so that small keys take the index, every combination a third
// token, and every probe reads it.
struct SearchTuning {
    quint64 indexFrom = 2048;
    quint64 indexKeysFrom = 32768;
    quint64 splitFrom = StemIndex::kSplitFrom;
    bool scanWhenCheaper = true;
};

// A pair of candidates, by their 0-based position in table order; `first` < `second`.
using PairSink = std::function<void(quint32 first, quint32 second, int percent)>;

struct FoundPair {
    quint32 first;
    quint32 second;
    int percent;
};

// Pairs handed out on several threads at once. The pairs, in the order PairSink gets them, are
// cut into parts numbered from 0; each part comes in pieces on one thread, in order, the last
// with `last` set, and `number` is the position of the piece's first pair among all pairs. The
// parts handed out are always the first ones, without a gap, each ended by its last piece. A
// stop ends the parts being handed out early (the last piece may be empty): each then holds
// the first of its pairs, while another thread's later part may be whole.
struct PairPiece {
    unsigned worker; // the thread that hands it out, below the search's thread count
    size_t part;
    quint64 number;
    std::span<const FoundPair> pairs;
    bool last;
};
using PairPieceSink = std::function<void(const PairPiece &piece)>;

inline QStringList pairColumns()
{
    return columns::texts(columns::pairs());
}

// The statistics text shown after a search, one line each.
QStringList statisticsLines(const SearchStats &stats);

// Hands every pair of candidates in `fileRecords` whose extension keys are equal and whose
// stems are more alike than `percent` to `sink`: in order of the first candidate, then of the
// second, exactly as comparing every candidate with every later one would. The table is left
// as it was, for the pairs' paths and identities.
//
// Identical stems are grouped, and only distinct stems of one extension key are joined: by
// length (in large keys, through an index of their rarest letter pairs), then by a signature
// of their letter pairs, then by counting; pairs stream out at the end, so memory grows with
// the number of distinct alike stems, not with the number of rows.
SearchStats findDuplicates(const FileRecords &fileRecords, int percent, const PairSink &sink,
                           std::stop_token stop = {}, SearchProgress *progress = nullptr,
                           const SearchThreads &threads = {}, const SearchTuning &tuning = {});

// The same search, with the pairs handed out in pieces on `threads` at once: for a caller whose
// work on each pair (formatting it, say) is worth sharing between cores.
SearchStats findDuplicates(const FileRecords &fileRecords, int percent, const PairPieceSink &sink,
                           std::stop_token stop = {}, SearchProgress *progress = nullptr,
                           const SearchThreads &threads = {}, const SearchTuning &tuning = {});

} // namespace twinsift
