// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <span>
#include <vector>

namespace twinsift {

// Finds, for a stem of one extension key, the earlier stems of the key that may be alike
// enough to it, reading a few short lists instead of every stem of its size window.
//
// A letter pair's n-th occurrence is a token, so a stem is a set of tokens; the tokens are
// ordered rarest first in the key. Two stems of a and b <= a tokens that share at least m
// of them hold the two first shared ones within the first b - m + 2 tokens of the smaller
// and a - m + 2 of the larger. So every two tokens of each stem's head are indexed, the head
// long enough for the least overlap any partner of its size or longer needs, and a probe
// looks up every two tokens of its own head, long enough for the least overlap any partner it
// may have needs. What comes back is a superset of the partners, to be counted.
//
// Two tokens, even a key's rarest, are shared by a share of its stems that does not fall as
// the key grows: there are only so many letter pairs. So where two tokens fill a bucket, its
// stems are also indexed under the two with each later token of a head one longer, and a
// probe whose partners all share three tokens reads those buckets instead: the third shared
// token lies there too.
class StemIndex {
public:
    // What one thread's probes need besides the index: a bit a stem, none set between probes,
    // and the buckets a probe reads.
    struct Look;
    struct Scratch {
        std::vector<quint64> seen;
        std::vector<Look> looks;
    };

    StemIndex() = default;
    // `pairs` holds each stem's letter-pair codes in ascending order, stem s at
    // [start[s], start[s + 1]); the stems come in ascending order of their number of pairs.
    // A combination of two tokens shared by more than `splitFrom` stems is told apart by a
    // third token for the probes whose partners all share three.
    StemIndex(std::span<const quint16> pairs, std::span<const quint32> start, int percent,
              quint64 splitFrom = kSplitFrom);

    // The longest head combined: past it a stem's combinations outgrow a scan of its window.
    static constexpr qint64 kLongestHead = 40;
    static constexpr int kStemBits = 24;
    // Reading more entries than this costs more than a lookup for each third token.
    static constexpr quint64 kSplitFrom = 64;

    // Whether the index can hold a key of `stems` stems: an entry holds a stem in 24 bits, and
    // the entries are numbered in 32.
    static bool fits(quint64 stems)
    {
        return stems < (1u << kStemBits) && stems * kLongestHead * kLongestHead < (1ull << 32);
    }

    // Whether the partners of a stem of `pairs` letter pairs can all be found here: they
    // share at least two pairs with it, and its head is short enough to combine.
    static bool finds(qint64 pairs, int percent);

    // Appends to `out`, each once, every stem in [from, x) that shares with stem x, a stem
    // that finds() holds for, the two (or three) first tokens of their common part, but some
    // that differ from it in more tokens than any partner may, and maybe some before `from`;
    // or returns false, with nothing appended, when that means reading more than `budget`
    // entries.
    bool candidates(quint32 x, quint32 from, quint64 budget, Scratch &scratch,
                    std::vector<quint32> &out) const;

private:
    // Entries under hashes of combinations, a bucket for two to four of them: stems that share
    // a bucket only by chance are dropped like any other candidate, mostly by their entries
    // alone, and the buckets cost less memory than the entries.
    struct Table {
        int bits = 0;
        std::vector<quint32> buckets; // bucket b's entries at [buckets[b], buckets[b + 1])
        std::vector<quint64> entries; // in ascending order of their stems within each bucket

        void size(quint64 combinations);
        quint64 bucket(quint64 hash) const { return bits == 0 ? 0 : hash >> (64 - bits); }
        // Fills the table by `forEach(put)`, which calls put(hash, entry) for every entry
        // twice, the second time from the last stem back.
        template <typename F> void fill(const F &forEach);
    };

    bool crowded(quint64 bucket) const { return m_crowded[bucket >> 6] >> (bucket & 63) & 1; }

    int m_percent = 0;
    std::vector<quint32> m_sizeEnd;    // how many stems have at most so many pairs
    std::vector<quint32> m_start;      // stem s's head at [m_start[s], m_start[s + 1])
    std::vector<quint32> m_ranks;      // the heads, rarest token first, one token beyond
    std::vector<quint32> m_signatures; // a bit a token of each stem
    Table m_two;                       // every two tokens of a head
    Table m_three;                     // every three of a head, the first two crowded
    std::vector<quint64> m_crowded;    // a bit a bucket of m_two read by three tokens
};

// A bucket a probe reads, and the stem before which its partners there lie.
struct StemIndex::Look {
    const Table *table;
    quint64 bucket;
    quint32 before;
};

} // namespace twinsift
