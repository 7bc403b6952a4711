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
class StemIndex {
public:
    StemIndex() = default;
    // `pairs` holds each stem's letter-pair codes in ascending order, stem s at
    // [start[s], start[s + 1]); the stems come in ascending order of their number of pairs.
    StemIndex(std::span<const quint16> pairs, std::span<const quint32> start, int percent);

    // The longest head combined: past it a stem's combinations outgrow a scan of its window.
    static constexpr qint64 kLongestHead = 40;
    static constexpr int kStemBits = 24;

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
    // that finds() holds for, the two first tokens of their common part, but some that differ
    // from it in more tokens than any partner may, and maybe some before `from`; or returns
    // false, with nothing appended, when that means reading more than `budget` entries. `seen`
    // holds a bit a stem, none set, as it is left.
    bool candidates(quint32 x, quint32 from, quint64 budget, std::vector<quint64> &seen,
                    std::vector<quint32> &out) const;

private:
    // The bucket of a combination's hash.
    quint64 bucket(quint64 hash) const;

    int m_percent = 0;
    int m_bits = 0;
    std::vector<quint32> m_sizeEnd;    // how many stems have at most so many pairs
    std::vector<quint32> m_start;      // stem s's head at [m_start[s], m_start[s + 1])
    std::vector<quint32> m_ranks;      // the heads, rarest token first
    std::vector<quint32> m_signatures; // a bit a token of each stem
    std::vector<quint32> m_buckets;    // a bucket's entries at [m_buckets[b], m_buckets[b + 1])
    std::vector<quint64> m_entries;    // in ascending order of their stems within each bucket
};

} // namespace twinsift
