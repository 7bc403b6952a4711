// SPDX-License-Identifier: MIT
#include "duplicatesearch.h"

#include "genmodules.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>
#include <system_error>
#include <thread>
#include <unordered_map>

namespace twinsift {

namespace {

// Lists of items for each of a number of keys, in one array: the items of key k stand at
// [start[k], start[k + 1]). Much leaner than a vector per key when most lists are short.
template <typename T> struct Lists {
    std::vector<quint32> start;
    std::vector<T> items;

    const T *begin(quint32 key) const { return items.data() + start[key]; }
    const T *end(quint32 key) const { return items.data() + start[key + 1]; }
    quint32 size(quint32 key) const { return start[key + 1] - start[key]; }
};

// Two groups of one extension key whose stems are alike enough.
struct Link {
    quint32 first;
    quint32 second;
    int percent;
};

// std::popcount becomes a library call on baseline x86-64; this stays inline.
constexpr int bitCount(quint64 x)
{
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return int((x * 0x0101010101010101ULL) >> 56);
}

// Candidates that share an extension key and an identical stem: groups, by their first
// candidate.
struct Groups {
    const FileRecords &records;
    std::vector<quint32> first;

    QLatin1StringView stem(quint32 group) const { return records.stem(first[group]); }
    qint64 pairCount(quint32 group) const { return std::max<qint64>(stem(group).size() - 1, 0); }
};

// Similarity join of the distinct stems of one extension key. Each repeated letter pair
// becomes a token (pair, occurrence) so that stems are sets and the common part of two
// multisets is a set intersection; tokens are ordered rarest first. A stem of a pairs can
// only match stems of b pairs with 200 m > k (a + b), which bounds b from both sides and
// makes any match share a token within short prefixes of both token lists.
class ExtJoin {
    struct Overlap {
        int count = 0; // common tokens met in the prefixes; -1 once ruled out
        quint16 lastX = 0;
        quint16 lastY = 0;
    };
    // A record whose indexed prefix holds a token, where, and the record's size. Names are at
    // most 255 bytes, so stems have far fewer than 65536 pairs.
    struct Posting {
        quint32 record;
        quint16 position;
        quint16 size;
    };

public:
    ExtJoin(const Groups &groups, const Lists<quint32> &members, const std::vector<quint32> &ids,
            int percent)
        : m_groups(groups), m_members(members), m_ids(ids), m_k(percent)
    {
        // Stems are numbered by size, the order of the join, so that each token's postings
        // and the overlaps they update are read in ascending order.
        std::stable_sort(m_ids.begin(), m_ids.end(), [&](quint32 a, quint32 b) {
            return groups.stem(a).size() < groups.stem(b).size();
        });
    }

    void run(std::vector<Link> &links, const std::stop_token &stop, SearchProgress *progress)
    {
        tokenize();
        if (m_longest > std::numeric_limits<quint16>::max()) {
            compareAll(links, stop, progress); // stems no file name can give
            return;
        }
        const auto count = quint32(m_ids.size());

        std::vector<std::vector<Posting>> index(m_tokenCount);
        std::vector<size_t> indexStart(m_tokenCount, 0);
        std::vector<Overlap> overlap(count);
        std::vector<quint32> touched;
        std::vector<int> needed; // overlap that a partner of each size must reach
        const int k = m_k;

        for (quint32 x = 0; x < count; ++x) {
            if (stop.stop_requested())
                return;
            if (progress)
                progress->done.fetch_add(m_members.size(m_ids[x]), std::memory_order_relaxed);
            const qint64 a = size(x);
            if (a <= 0)
                continue;
            const qint64 smallest = k * a / (200 - k) + 1;
            const qint64 probe = a - k * a / (200 - k);
            needed.resize(size_t(a) + 1);
            for (qint64 b = smallest; b <= a; ++b)
                needed[size_t(b)] = int(k * (a + b) / 200 + 1);
            const quint32 *tx = tokens(x);
            touched.clear();
            for (qint64 i = 0; i < probe; ++i) {
                auto &postings = index[tx[i]];
                size_t &start = indexStart[tx[i]];
                while (start < postings.size() && postings[start].size < smallest)
                    ++start; // records come by increasing size, so these never match again
                const int leftX = int(a - i - 1);
                for (size_t p = start; p < postings.size(); ++p) {
                    const Posting posting = postings[p];
                    Overlap &o = overlap[posting.record];
                    if (o.count < 0)
                        continue;
                    if (o.count == 0) {
                        touched.push_back(posting.record);
                        if (!bitmapAllows(x, posting.record)) {
                            o.count = -1;
                            continue;
                        }
                    }
                    // What is matched so far, this token, and at most what is left of either.
                    const int leftY = posting.size - posting.position - 1;
                    if (o.count + 1 + std::min(leftX, leftY) < needed[posting.size]) {
                        o.count = -1;
                        continue;
                    }
                    ++o.count;
                    o.lastX = quint16(i);
                    o.lastY = posting.position;
                }
            }
            for (quint32 y : touched) {
                if (overlap[y].count > 0)
                    verify(x, y, overlap[y], links);
                overlap[y] = Overlap{};
            }
            const qint64 indexed = a - k * a / 100;
            for (qint64 i = 0; i < indexed; ++i)
                index[tx[i]].push_back(Posting{x, quint16(i), quint16(a)});
        }
    }

private:
    qint64 size(quint32 r) const { return qint64(m_offsets[r + 1] - m_offsets[r]); }
    const quint32 *tokens(quint32 r) const { return m_tokens.data() + m_offsets[r]; }

    void tokenize()
    {
        std::unordered_map<quint64, quint32> ids;
        std::vector<quint64> codes;
        m_offsets.assign(1, 0);
        for (quint32 id : m_ids) {
            const QLatin1StringView stem = m_groups.stem(id);
            const auto *letters = reinterpret_cast<const uchar *>(stem.data());
            codes.clear();
            for (qsizetype i = 0; i + 1 < stem.size(); ++i)
                codes.push_back(quint64(letters[i] << 8 | letters[i + 1]) << 32);
            std::sort(codes.begin(), codes.end());
            for (size_t i = 1; i < codes.size(); ++i) {
                if ((codes[i] >> 32) == (codes[i - 1] >> 32))
                    codes[i] = codes[i - 1] + 1; // the next occurrence of the same pair
            }
            for (quint64 code : codes) {
                auto [it, added] = ids.try_emplace(code, quint32(ids.size()));
                if (added)
                    m_frequency.push_back(0);
                ++m_frequency[it->second];
                m_tokens.push_back(it->second);
            }
            m_offsets.push_back(quint32(m_tokens.size()));
            m_longest = std::max(m_longest, size_t(codes.size()));
        }
        m_tokenCount = quint32(m_frequency.size());
        std::vector<quint32> byRarity(m_tokenCount);
        std::iota(byRarity.begin(), byRarity.end(), 0u);
        std::sort(byRarity.begin(), byRarity.end(), [&](quint32 a, quint32 b) {
            return m_frequency[a] != m_frequency[b] ? m_frequency[a] < m_frequency[b] : a < b;
        });
        std::vector<quint32> rank(m_tokenCount);
        for (quint32 r = 0; r < m_tokenCount; ++r)
            rank[byRarity[r]] = r;
        for (quint32 &token : m_tokens)
            token = rank[token];
        m_bitmaps.assign(m_ids.size(), {0, 0});
        for (size_t r = 0; r + 1 < m_offsets.size(); ++r) {
            std::sort(m_tokens.begin() + m_offsets[r], m_tokens.begin() + m_offsets[r + 1]);
            for (quint32 i = m_offsets[r]; i < m_offsets[r + 1]; ++i) {
                const quint32 bit = (m_tokens[i] * 2654435761u) >> 25; // 0..127
                m_bitmaps[r][bit >> 6] |= quint64(1) << (bit & 63);
            }
        }
    }

    void compareAll(std::vector<Link> &links, const std::stop_token &stop,
                    SearchProgress *progress) const
    {
        for (quint32 x = 0; x < m_ids.size() && !stop.stop_requested(); ++x) {
            if (progress)
                progress->done.fetch_add(m_members.size(m_ids[x]), std::memory_order_relaxed);
            for (quint32 y = x + 1; y < m_ids.size(); ++y)
                verify(x, y, Overlap{0, 0, 0}, links);
        }
    }

    // A token of one stem that the other lacks sets a bit in the XOR of their bitmaps that
    // no common token clears, so m <= (a + b - popcount(xor)) / 2: a cheap bound to try
    // before merging the lists.
    bool bitmapAllows(quint32 x, quint32 y) const
    {
        const qint64 a = size(x), b = size(y);
        const qint64 differing = bitCount(m_bitmaps[x][0] ^ m_bitmaps[y][0]) +
                                 bitCount(m_bitmaps[x][1] ^ m_bitmaps[y][1]);
        const qint64 bound = (a + b - differing) / 2;
        return 200 * bound > m_k * (a + b);
    }

    // Both token lists are in one order, so every common token before the last match of
    // the prefixes was counted there; only what follows it is merged here.
    void verify(quint32 x, quint32 y, const Overlap &known, std::vector<Link> &links) const
    {
        const quint32 *tx = tokens(x);
        const quint32 *ty = tokens(y);
        const qint64 a = size(x);
        const qint64 b = size(y);
        const qint64 needed = m_k * (a + b) / 200 + 1;
        qint64 i = known.count > 0 ? known.lastX + 1 : 0;
        qint64 j = known.count > 0 ? known.lastY + 1 : 0;
        qint64 matches = known.count;
        while (i < a && j < b) {
            if (matches + std::min(a - i, b - j) < needed)
                return;
            if (tx[i] < ty[j]) {
                ++i;
            } else if (ty[j] < tx[i]) {
                ++j;
            } else {
                ++matches, ++i, ++j;
            }
        }
        if (genModules::qualifies(matches, a, b, m_k))
            links.push_back(
                Link{m_ids[x], m_ids[y], genModules::similarityPercent(matches, a + b)});
    }

    const Groups &m_groups;
    const Lists<quint32> &m_members;
    std::vector<quint32> m_ids;
    const int m_k;
    std::vector<quint32> m_frequency;
    std::vector<quint32> m_tokens;
    std::vector<quint32> m_offsets;
    std::vector<std::array<quint64, 2>> m_bitmaps;
    quint32 m_tokenCount = 0;
    size_t m_longest = 0;
};

} // namespace

QStringList statisticsLines(const SearchStats &stats)
{
    return {
        QCoreApplication::translate("Statistics", "Total files = %1").arg(stats.candidates),
        QCoreApplication::translate("Statistics", "Total comparisons = %1").arg(stats.comparisons),
        QCoreApplication::translate("Statistics", "Elapsed time in seconds - %1")
            .arg(stats.elapsedSeconds)};
}

namespace {

// The search in its steps, in the order findDuplicates runs them.
class Search {
public:
    Search(const FileRecords &records, int percent, std::stop_token stop, SearchProgress *progress)
        : m_percent(percent), m_stop(std::move(stop)), m_progress(progress), m_groups{records, {}}
    {
    }

    // Puts the candidates into identical-stem groups per extension key.
    void group()
    {
        const FileRecords &records = m_groups.records;
        const size_t n = records.count();
        // Open addressing over group numbers, at most half full.
        size_t slots = 16;
        while (slots < 2 * n)
            slots *= 2;
        std::vector<quint32> table(slots, kEmpty);
        m_groupsOfExt.resize(records.extCount());
        m_groupOf.reserve(n);
        for (quint32 i = 0; i < n; ++i) {
            const quint32 ext = records.extId(i);
            const QLatin1StringView stem = records.stem(i);
            size_t slot = qHashBits(stem.data(), size_t(stem.size()), ext) & (slots - 1);
            for (; table[slot] != kEmpty; slot = (slot + 1) & (slots - 1)) {
                const quint32 first = m_groups.first[table[slot]];
                if (records.extId(first) == ext && records.stem(first) == stem)
                    break;
            }
            if (table[slot] == kEmpty) {
                table[slot] = quint32(m_groups.first.size());
                m_groupsOfExt[ext].push_back(table[slot]);
                m_groups.first.push_back(i);
            }
            m_groupOf.push_back(table[slot]);
        }
    }

    // The members of each group, in candidate order.
    void listMembers()
    {
        const auto groupCount = quint32(m_groups.first.size());
        m_members.start.assign(groupCount + 1, 0);
        for (quint32 g : m_groupOf)
            ++m_members.start[g + 1];
        std::partial_sum(m_members.start.begin(), m_members.start.end(), m_members.start.begin());
        m_members.items.resize(m_groupOf.size());
        std::vector<quint32> fill(m_members.start.begin(), m_members.start.end() - 1);
        for (quint32 i = 0; i < m_groupOf.size(); ++i)
            m_members.items[fill[m_groupOf[i]]++] = i;
    }

    // Joins the distinct stems of each extension key, largest keys first, on all cores.
    // False when stopped.
    bool joinStems(const SearchThreads &workers)
    {
        std::vector<quint32> extOrder(m_groupsOfExt.size());
        std::iota(extOrder.begin(), extOrder.end(), 0u);
        std::sort(extOrder.begin(), extOrder.end(), [&](quint32 a, quint32 b) {
            return m_groupsOfExt[a].size() > m_groupsOfExt[b].size();
        });
        unsigned threads = workers.count;
        if (threads == 0)
            threads = std::max(1u, std::thread::hardware_concurrency());
        threads = std::min<unsigned>(threads, unsigned(std::max<size_t>(extOrder.size(), 1)));
        m_found.resize(threads);
        std::atomic<size_t> nextExt{0};
        auto worker = [&](unsigned t) {
            for (size_t e; (e = nextExt.fetch_add(1)) < extOrder.size();) {
                if (m_stop.stop_requested())
                    return;
                ExtJoin(m_groups, m_members, m_groupsOfExt[extOrder[e]], m_percent)
                    .run(m_found[t], m_stop, m_progress);
            }
        };
        {
            std::vector<std::jthread> pool;
            try {
                for (unsigned t = 1; t < threads; ++t) {
                    auto work = [&worker, t] { worker(t); };
                    pool.push_back(workers.start ? workers.start(work) : std::jthread(work));
                }
            } catch (const std::system_error &) {
                // Out of threads: the ones started and this one share the keys between them.
            }
            worker(0);
        }
        m_groupsOfExt.clear();
        return !m_stop.stop_requested();
    }

    // Alike groups, both ways, each with the percent of the pair.
    void linkAlikeGroups()
    {
        const auto groupCount = quint32(m_groups.first.size());
        m_alike.start.assign(groupCount + 1, 0);
        for (const auto &links : m_found) {
            for (const Link &link : links) {
                ++m_alike.start[link.first + 1];
                ++m_alike.start[link.second + 1];
            }
        }
        std::partial_sum(m_alike.start.begin(), m_alike.start.end(), m_alike.start.begin());
        m_alike.items.resize(m_alike.start.back());
        std::vector<quint32> fill(m_alike.start.begin(), m_alike.start.end() - 1);
        for (auto &links : m_found) {
            for (const Link &link : links) {
                m_alike.items[fill[link.first]++] = {link.second, link.percent};
                m_alike.items[fill[link.second]++] = {link.first, link.percent};
            }
            links = {};
        }
    }

    // Hands out the pairs in the order of the plain loop: by first candidate, then second.
    void streamPairs(const PairSink &sink, SearchStats &stats)
    {
        const auto n = quint32(m_groupOf.size());
        std::vector<std::pair<quint32, int>> partners;
        for (quint32 i = 0; i < n; ++i) {
            if (m_stop.stop_requested()) {
                stats.stopped = true;
                break;
            }
            const quint32 own = m_groupOf[i];
            partners.clear();
            if (m_groups.pairCount(own) > 0)
                addLaterMembers(own, i, 100, partners);
            for (auto link = m_alike.begin(own); link != m_alike.end(own); ++link)
                addLaterMembers(link->first, i, link->second, partners);
            std::sort(partners.begin(), partners.end());
            for (const auto &[j, pct] : partners)
                sink(i, j, pct);
            stats.pairs += partners.size();
            stats.comparisons += n - 1 - i;
            if (m_progress)
                m_progress->done.fetch_add(1, std::memory_order_relaxed);
        }
    }

private:
    void addLaterMembers(quint32 group, quint32 after, int percent,
                         std::vector<std::pair<quint32, int>> &partners) const
    {
        for (auto it = std::upper_bound(m_members.begin(group), m_members.end(group), after);
             it != m_members.end(group); ++it)
            partners.emplace_back(*it, percent);
    }

    const int m_percent;
    const std::stop_token m_stop;
    SearchProgress *const m_progress;
    static constexpr quint32 kEmpty = std::numeric_limits<quint32>::max();
    Groups m_groups;
    std::vector<quint32> m_groupOf;
    std::vector<std::vector<quint32>> m_groupsOfExt;
    Lists<quint32> m_members;
    std::vector<std::vector<Link>> m_found;
    Lists<std::pair<quint32, int>> m_alike;
};

} // namespace

SearchStats findDuplicates(const FileRecords &fileRecords, int percent, const PairSink &sink,
                           std::stop_token stop, SearchProgress *progress,
                           const SearchThreads &threads)
{
    QElapsedTimer clock;
    clock.start();
    SearchStats stats;
    stats.candidates = fileRecords.count();
    if (progress) {
        progress->done.store(0);
        progress->total.store(2 * stats.candidates);
    }
    Search search(fileRecords, percent, std::move(stop), progress);
    search.group();
    search.listMembers();
    if (search.joinStems(threads)) {
        search.linkAlikeGroups();
        search.streamPairs(sink, stats);
    } else {
        stats.stopped = true;
    }
    stats.elapsedSeconds = clock.elapsed() / 1000;
    return stats;
}

} // namespace twinsift
