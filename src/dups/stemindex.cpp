// SPDX-License-Identifier: MIT
#include "stemindex.h"

#include "genmodules.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <numeric>

namespace twinsift {

namespace {

// The head a stem of `b` pairs is indexed by: its partners of b pairs or more share at least
// fewestMatches(b, b) tokens with it, whatever their length. Heads grow with the stems, so a
// head too long to combine belongs to a stem longer than any probe that uses the index, which
// can then never be its partner: such a stem is left out.
qint64 indexedHead(qint64 b, int percent)
{
    const qint64 head = std::clamp<qint64>(b - genModules::fewestMatches(b, b, percent) + 2, 0, b);
    return head <= StemIndex::kLongestHead ? head : 0;
}

// The head a stem of `a` pairs probes with: its partners are at least smallestPartner(a)
// long, and the shortest of them needs the fewest common tokens.
qint64 probeHead(qint64 a, int percent)
{
    const qint64 b = genModules::smallestPartner(a, percent);
    return b > a ? 0 : std::clamp<qint64>(a - genModules::fewestMatches(a, b, percent) + 2, 0, a);
}

// Whether every partner of a stem of `a` pairs shares three tokens with it.
bool sharesThree(qint64 a, int percent)
{
    return genModules::fewestMatches(a, genModules::smallestPartner(a, percent), percent) >= 3;
}

constexpr quint64 kMix = 0x9E3779B97F4A7C15ull;

// The hash of a combination of two ranks with a third.
quint64 withThird(quint64 hash, quint32 rank)
{
    return (hash + rank) * kMix;
}

// Calls `f(hash, last)` with a hash of every two ranks of `head`, which is in ascending
// order, and the position of the later one.
template <typename F> void forEachCombination(const quint32 *head, qint64 length, const F &f)
{
    for (qint64 i = 0; i + 1 < length; ++i)
        for (qint64 j = i + 1; j < length; ++j)
            f((head[i] * kMix + head[j]) * kMix, j);
}

// An entry: its stem, below it the largest probe the entry can serve, and in the low bits the
// stem's signature, a bit a token, so that an entry is dropped without reading elsewhere.
constexpr int kProbeShift = 32;
constexpr int kStemShift = 40;
constexpr quint64 kAnyProbe = 255;

// The largest probe, in pairs, that may find a stem of `b` pairs through a combination ending
// at `last` in its head: the two share m <= b - last + 1 tokens then, and a probe of a pairs
// needs fewestMatches(a, b) of them.
quint64 largestProbe(qint64 b, qint64 last, int percent)
{
    if (percent <= 0)
        return kAnyProbe;
    const qint64 most = b - last + 1;
    qint64 a = std::max<qint64>((200 * most - 1) / percent - b, b);
    while (a < qint64(kAnyProbe) && genModules::fewestMatches(a + 1, b, percent) <= most)
        ++a;
    while (a > b && genModules::fewestMatches(a, b, percent) > most)
        --a;
    return quint64(std::min<qint64>(a, kAnyProbe));
}

// Appends the stems before `before` of entries [begin, end) that may serve a probe of `pairs`
// pairs (kAnyProbe for any larger), whose signatures differ from `signature` in at most
// `allowed` bits and that are not marked in `seen` yet, and marks them. Every entry a probe
// meets passes through here, so it is cloned for processors with a popcount instruction.
__attribute__((target_clones("popcnt", "default"))) void
takeSimilar(const quint64 *begin, const quint64 *end, quint32 before, quint32 signature,
            quint64 pairs, qint64 allowed, quint64 *seen, std::vector<quint32> &out)
{
    for (const quint64 *entry = begin; entry != end && (*entry >> kStemShift) < before; ++entry) {
        const auto stem = quint32(*entry >> kStemShift);
        const quint64 bit = quint64(1) << (stem & 63);
        if ((*entry >> kProbeShift & 255) >= pairs &&
            __builtin_popcount(quint32(*entry) ^ signature) <= allowed &&
            (seen[stem >> 6] & bit) == 0) {
            seen[stem >> 6] |= bit;
            out.push_back(stem);
        }
    }
}

} // namespace

bool StemIndex::finds(qint64 pairs, int percent)
{
    const qint64 b = genModules::smallestPartner(pairs, percent);
    return b <= pairs && genModules::fewestMatches(pairs, b, percent) >= 2 &&
           probeHead(pairs, percent) <= kLongestHead;
}

void StemIndex::Table::size(quint64 combinations)
{
    bits = 0;
    while ((quint64(4) << bits) < combinations)
        ++bits;
}

template <typename F> void StemIndex::Table::fill(const F &forEach)
{
    buckets.assign((size_t(1) << bits) + 1, 0);
    forEach([&](quint64 hash, const auto &) { ++buckets[bucket(hash)]; }, false);
    std::partial_sum(buckets.begin(), buckets.end(), buckets.begin());
    entries.resize(buckets.back());
    // Filled from the last stem back, so that each bucket ends up in ascending order and its
    // start where its end was.
    forEach([&](quint64 hash, const auto &entry) { entries[--buckets[bucket(hash)]] = entry(); },
            true);
}

StemIndex::StemIndex(std::span<const quint16> pairs, std::span<const quint32> start, int percent,
                     quint64 splitFrom)
    : m_percent(percent)
{
    const auto count = quint32(start.size() - 1);
    const auto sizeOf = [&](quint32 s) { return qint64(start[s + 1] - start[s]); };
    for (quint32 s = 0; s < count; ++s) {
        m_sizeEnd.resize(size_t(sizeOf(s)) + 1, s);
        m_sizeEnd.back() = s + 1;
    }
    // A token is a pair code and which occurrence of it in the stem this is.
    const auto forEachToken = [&](quint32 s, const auto &f) {
        quint32 occurrence = 0;
        for (quint32 i = start[s]; i < start[s + 1]; ++i) {
            occurrence = i > start[s] && pairs[i] == pairs[i - 1] ? occurrence + 1 : 0;
            f(quint64(pairs[i]) << 32 | occurrence);
        }
    };
    QHash<quint64, quint32> rankOf;
    for (quint32 s = 0; s < count; ++s)
        forEachToken(s, [&](quint64 token) { ++rankOf[token]; });
    std::vector<std::pair<quint32, quint64>> byFrequency;
    byFrequency.reserve(size_t(rankOf.size()));
    for (auto it = rankOf.cbegin(); it != rankOf.cend(); ++it)
        byFrequency.emplace_back(it.value(), it.key());
    std::sort(byFrequency.begin(), byFrequency.end());
    for (size_t r = 0; r < byFrequency.size(); ++r)
        rankOf[byFrequency[r].second] = quint32(r);

    // Each stem's head, what it probes with when it can, else what it is indexed by, and one
    // token more: the third of two crowded ones may lie there.
    m_start.assign(1, 0);
    m_signatures.reserve(count);
    std::vector<quint32> ranks;
    quint64 combinations = 0;
    for (quint32 s = 0; s < count; ++s) {
        ranks.clear();
        quint32 signature = 0;
        forEachToken(s, [&](quint64 token) {
            ranks.push_back(rankOf.value(token));
            signature |= 1u << (token * kMix >> 59);
        });
        m_signatures.push_back(signature);
        std::sort(ranks.begin(), ranks.end());
        const qint64 indexed = indexedHead(sizeOf(s), percent);
        const qint64 head = finds(sizeOf(s), percent) ? probeHead(sizeOf(s), percent) : indexed;
        m_ranks.insert(m_ranks.end(), ranks.begin(),
                       ranks.begin() + (head > 0 ? std::min(head + 1, sizeOf(s)) : 0));
        m_start.push_back(quint32(m_ranks.size()));
        combinations += quint64(indexed * (indexed - 1) / 2);
    }
    rankOf.clear();

    // Which sizes of stems the probes that read a crowded bucket by two tokens, and those that
    // read it by three, may find.
    const auto longest = qint64(m_sizeEnd.size()) - 1;
    std::vector<quint8> readBy(size_t(longest) + 1, 0); // bit 0: by two, bit 1: by three
    for (qint64 a = 1; a <= longest; ++a) {
        if (finds(a, percent)) {
            for (qint64 b = genModules::smallestPartner(a, percent); b <= a; ++b)
                readBy[size_t(b)] = quint8(readBy[size_t(b)] | (sharesThree(a, percent) ? 2 : 1));
        }
    }
    const auto forEachTwo = [&](quint32 s, const auto &f) {
        forEachCombination(m_ranks.data() + m_start[s], indexedHead(sizeOf(s), percent), f);
    };

    // A bucket of more than `splitFrom` entries is crowded: probes whose partners all share
    // three tokens read instead the buckets of its combinations with each later token, and
    // it keeps only the stems other probes may find. The third tokens may take as much memory
    // as the combinations of two, no more: where heads are long, the bound is raised.
    m_two.size(combinations);
    std::vector<quint32> load(size_t(1) << m_two.bits, 0);
    for (quint32 s = 0; s < count; ++s)
        forEachTwo(s, [&](quint64 hash, qint64) { ++load[m_two.bucket(hash)]; });
    m_crowded.assign(load.size() / 64 + 1, 0);
    const auto forEachThree = [&](quint32 s, const auto &f) {
        if ((readBy[size_t(sizeOf(s))] & 2) == 0)
            return;
        const quint32 *head = m_ranks.data() + m_start[s];
        const qint64 end = std::min(indexedHead(sizeOf(s), percent) + 1, sizeOf(s));
        forEachCombination(head, end - 1, [&](quint64 hash, qint64 last) {
            if (crowded(m_two.bucket(hash))) {
                for (qint64 third = last + 1; third < end; ++third)
                    f(withThird(hash, head[third]), third - 1);
            }
        });
    };
    quint64 threes = 0;
    for (quint64 bound = splitFrom;; bound = bound * 2 + 1) {
        std::fill(m_crowded.begin(), m_crowded.end(), 0);
        for (size_t b = 0; b < load.size(); ++b)
            m_crowded[b >> 6] |= quint64(load[b] > bound) << (b & 63);
        threes = 0;
        for (quint32 s = 0; s < count; ++s)
            forEachThree(s, [&](quint64, qint64) { ++threes; });
        if (threes <= combinations)
            break;
    }
    load = {};

    // An entry's `last` is where the combination ends, as if of two tokens: a third shared
    // token at position p leaves as many more to share as a second one at p - 1.
    const auto entry = [&](quint32 s, qint64 last) {
        return quint64(s) << kStemShift | largestProbe(sizeOf(s), last, percent) << kProbeShift |
               m_signatures[s];
    };
    const auto eachStem = [count](bool backwards, const auto &f) {
        for (quint32 i = 0; i < count; ++i)
            f(backwards ? count - 1 - i : i);
    };
    m_two.fill([&](const auto &put, bool backwards) {
        eachStem(backwards, [&](quint32 s) {
            const bool keep = (readBy[size_t(sizeOf(s))] & 1) != 0;
            forEachTwo(s, [&](quint64 hash, qint64 last) {
                if (keep || !crowded(m_two.bucket(hash)))
                    put(hash, [&] { return entry(s, last); });
            });
        });
    });
    m_three.size(threes);
    m_three.fill([&](const auto &put, bool backwards) {
        eachStem(backwards, [&](quint32 s) {
            forEachThree(
                s, [&](quint64 hash, qint64 last) { put(hash, [&] { return entry(s, last); }); });
        });
    });
}

bool StemIndex::candidates(quint32 x, quint32 from, quint64 budget, Scratch &scratch,
                           std::vector<quint32> &out) const
{
    const qint64 size = std::upper_bound(m_sizeEnd.begin(), m_sizeEnd.end(), x) - m_sizeEnd.begin();
    // Tokens of x a partner may lack, and the partner's tokens x lacks, at most: each bit set
    // in only one of two signatures stands for at least one of them.
    qint64 allowed = -1;
    for (qint64 b = genModules::smallestPartner(size, m_percent); b <= size; ++b)
        allowed = std::max(allowed, size + b - 2 * genModules::fewestMatches(size, b, m_percent));

    // A partner of b pairs shares m >= fewestMatches(a, b) tokens with x, so its first shared
    // ones lie within x's first a - m + 2: a combination ending at `last` can be the first
    // only for the partners with fewestMatches(a, b) <= a - last + 1, the shorter ones, which
    // come first in each bucket.
    const qint64 head = probeHead(size, m_percent);
    const qint64 end = m_start[x + 1] - m_start[x];
    Q_ASSERT(head <= kLongestHead && end <= head + 1);
    std::array<quint32, kLongestHead + 1> before;
    for (qint64 last = 0; last < end; ++last) {
        const qint64 most = size - last + 1;
        qint64 b = m_percent > 0 ? (200 * most - 1) / m_percent - size : size;
        b = std::clamp<qint64>(b, -1, size);
        while (b < size && genModules::fewestMatches(size, b + 1, m_percent) <= most)
            ++b;
        while (b >= 0 && genModules::fewestMatches(size, b, m_percent) > most)
            --b;
        before[size_t(last)] = b < 0 ? 0 : std::min(m_sizeEnd[size_t(b)], x);
    }

    // The buckets lie anywhere in memory: all of them are fetched before any is read.
    const bool byThree = sharesThree(size, m_percent);
    const quint32 *ranks = m_ranks.data() + m_start[x];
    auto &looks = scratch.looks;
    looks.clear();
    const auto look = [&](const Table &table, quint64 hash, qint64 last) {
        if (before[size_t(last)] > from) {
            looks.push_back({&table, table.bucket(hash), before[size_t(last)]});
            __builtin_prefetch(table.buckets.data() + looks.back().bucket);
        }
    };
    forEachCombination(ranks, head, [&](quint64 hash, qint64 last) {
        if (!byThree || !crowded(m_two.bucket(hash))) {
            look(m_two, hash, last);
        } else if (before[size_t(last)] > from) {
            for (qint64 third = last + 1; third < end; ++third)
                look(m_three, withThird(hash, ranks[third]), third - 1);
        }
    });
    quint64 entries = 0;
    for (const Look &l : looks) {
        entries += l.table->buckets[l.bucket + 1] - l.table->buckets[l.bucket];
        __builtin_prefetch(l.table->entries.data() + l.table->buckets[l.bucket]);
    }
    if (entries > budget)
        return false;
    const size_t found = out.size();
    // The window's start needs no search: a stem short of it would need more common tokens
    // than it has, so its entries serve no probe as large.
    for (const Look &l : looks)
        takeSimilar(l.table->entries.data() + l.table->buckets[l.bucket],
                    l.table->entries.data() + l.table->buckets[l.bucket + 1], l.before,
                    m_signatures[x], quint64(std::min<qint64>(size, kAnyProbe)), allowed,
                    scratch.seen.data(), out);
    for (size_t i = found; i < out.size(); ++i)
        scratch.seen[out[i] >> 6] = 0;
    return true;
}

} // namespace twinsift
