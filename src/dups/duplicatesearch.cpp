// SPDX-License-Identifier: MIT
#include "duplicatesearch.h"

#include "genmodules.h"
#include "stemindex.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>

#include <algorithm>
#include <array>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <numeric>
#include <system_error>
#include <thread>

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

// Candidates that share an extension key and an identical stem: groups, by their first
// candidate.
struct Groups {
    const FileRecords &records;
    std::vector<quint32> first;

    QLatin1StringView stem(quint32 group) const { return records.stem(first[group]); }
    qint64 pairCount(quint32 group) const { return std::max<qint64>(stem(group).size() - 1, 0); }
};

// Whether a key of `stems` distinct stems gets an index.
bool indexesKey(quint64 stems, const SearchTuning &tuning)
{
    return stems > std::max(tuning.indexKeysFrom, tuning.indexFrom) && StemIndex::fits(stems);
}

// Whether a stem of `size` pairs, with `window` stems to be joined with, looks them up in its
// key's index, where the key has one.
bool probesIndex(qint64 size, quint64 window, int percent, const SearchTuning &tuning)
{
    return window >= tuning.indexFrom && StemIndex::finds(size, percent);
}

// The distinct stems of one extension key, ordered by their number of letter pairs, with what
// the join reads of each: its letter pairs in ascending order, and a 256-bit signature.
//
// A letter pair's n-th occurrence in a stem is a token, so that a stem is a set of tokens and
// the pairs two stems have in common are the tokens they share. Each token sets one bit of the
// signature; a bit set in only one of two signatures comes from a token of that stem alone, so
// the XOR's bits bound the unshared tokens from below, and so the shared ones from above.
class KeyStems {
public:
    struct alignas(32) Signature {
        std::array<quint64, 4> words{};
    };
    // Stems of one size, a run in the order.
    struct Run {
        qint64 size;
        quint32 begin;
    };

    KeyStems() = default;
    KeyStems(const Groups &groups, std::vector<quint32> ids) : m_ids(std::move(ids))
    {
        std::stable_sort(m_ids.begin(), m_ids.end(), [&](quint32 a, quint32 b) {
            return groups.stem(a).size() < groups.stem(b).size();
        });
        for (quint32 r = 0; r < m_ids.size(); ++r) {
            const qint64 size = groups.pairCount(m_ids[r]);
            if (m_runs.empty() || m_runs.back().size != size)
                m_runs.push_back(Run{size, r});
        }
    }

    // Calls `probe(x, size, window)` for each stem in order with its number of pairs and the
    // number of earlier stems no fewer than `smallest(size)` pairs long.
    template <typename Smallest, typename Probe>
    void forEachProbe(const Smallest &smallest, const Probe &probe) const
    {
        size_t firstRun = 0;
        for (size_t run = 0; run < m_runs.size(); ++run) {
            while (firstRun < run && m_runs[firstRun].size < smallest(m_runs[run].size))
                ++firstRun;
            const quint32 end = run + 1 < m_runs.size() ? m_runs[run + 1].begin : count();
            for (quint32 x = m_runs[run].begin; x < end; ++x)
                probe(x, m_runs[run].size, quint64(x - m_runs[firstRun].begin));
        }
    }

    // Reads every stem's pairs, and indexes them when `tuning` says the key is large enough;
    // the work the join does is known without them.
    void tokenize(const Groups &groups, int percent, const SearchTuning &tuning)
    {
        m_pairs.start.assign(1, 0);
        m_signatures.resize(m_ids.size());
        for (size_t r = 0; r < m_ids.size(); ++r) {
            const QLatin1StringView stem = groups.stem(m_ids[r]);
            const auto *letters = reinterpret_cast<const uchar *>(stem.data());
            const auto from = m_pairs.items.end() - m_pairs.items.begin();
            for (qsizetype i = 0; i + 1 < stem.size(); ++i)
                m_pairs.items.push_back(quint16(letters[i] << 8 | letters[i + 1]));
            std::sort(m_pairs.items.begin() + from, m_pairs.items.end());
            Signature &signature = m_signatures[r];
            quint32 occurrence = 0;
            for (auto i = from; i < m_pairs.items.end() - m_pairs.items.begin(); ++i) {
                const quint32 code = m_pairs.items[size_t(i)];
                occurrence = i > from && code == m_pairs.items[size_t(i) - 1] ? occurrence + 1 : 0;
                const quint32 bit = (code << 16 ^ occurrence) * 2654435761u >> 24;
                signature.words[bit >> 6] |= quint64(1) << (bit & 63);
            }
            m_pairs.start.push_back(quint32(m_pairs.items.size()));
        }
        if (indexesKey(count(), tuning))
            m_index = std::make_unique<StemIndex>(m_pairs.items, m_pairs.start, percent,
                                                  tuning.splitFrom);
    }

    quint32 count() const { return quint32(m_ids.size()); }
    const std::vector<quint32> &ids() const { return m_ids; }
    const std::vector<Run> &runs() const { return m_runs; }
    const Lists<quint16> &pairs() const { return m_pairs; }
    const Signature *signatures() const { return m_signatures.data(); }
    const StemIndex *index() const { return m_index.get(); }

private:
    std::vector<quint32> m_ids;
    std::vector<Run> m_runs;
    Lists<quint16> m_pairs;
    std::vector<Signature> m_signatures;
    std::unique_ptr<StemIndex> m_index;
};

// Writes the positions in [begin, end) whose signatures differ from `probe` in at most
// `allowed` bits to `out`, and returns how many it wrote. Every pair of stems in a key
// passes through here, so it is cloned for processors with a popcount instruction.
__attribute__((target_clones("popcnt", "default"))) size_t
similarSignatures(const KeyStems::Signature *signatures, quint32 begin, quint32 end,
                  const KeyStems::Signature &probe, qint64 allowed, quint32 *out)
{
    size_t kept = 0;
    for (quint32 y = begin; y < end; ++y) {
        const auto &w = signatures[y].words;
        const qint64 differing = __builtin_popcountll(probe.words[0] ^ w[0]) +
                                 __builtin_popcountll(probe.words[1] ^ w[1]) +
                                 __builtin_popcountll(probe.words[2] ^ w[2]) +
                                 __builtin_popcountll(probe.words[3] ^ w[3]);
        out[kept] = y;
        kept += differing <= allowed ? 1 : 0;
    }
    return kept;
}

// Writes the stems of `found` whose signatures differ from stem x's in no more bits than the
// stem's size allows to `out`, and returns how many it wrote; cloned as similarSignatures is.
__attribute__((target_clones("popcnt", "default"))) size_t
similarFound(const KeyStems &key, quint32 x, int percent, const std::vector<quint32> &found,
             quint32 *out)
{
    const qint64 a = key.pairs().size(x);
    const auto &probe = key.signatures()[x].words;
    size_t kept = 0;
    for (size_t i = 0; i < found.size(); ++i) {
        if (i + 8 < found.size()) // the stems lie anywhere in the key
            __builtin_prefetch(key.signatures() + found[i + 8]);
        const quint32 y = found[i];
        const qint64 b = key.pairs().size(y);
        const auto &w = key.signatures()[y].words;
        const qint64 differing =
            __builtin_popcountll(probe[0] ^ w[0]) + __builtin_popcountll(probe[1] ^ w[1]) +
            __builtin_popcountll(probe[2] ^ w[2]) + __builtin_popcountll(probe[3] ^ w[3]);
        out[kept] = y;
        kept += differing <= a + b - 2 * genModules::fewestMatches(a, b, percent) ? 1u : 0u;
    }
    return kept;
}

// Joins the stems at positions [begin, end) of one key with every smaller or earlier stem of
// the key. A stem of a pairs can only match one of b <= a pairs with 200 m > k (a + b) common
// pairs, which bounds b from below and, through the signatures, how many tokens may differ.
// A probe with many stems in that window takes its candidates from the key's index instead of
// scanning them all. The few stems left are counted exactly against the probe's pair counts.
class StemJoin {
public:
    StemJoin(int percent, const SearchTuning &tuning)
        : m_k(percent), m_tuning(tuning), m_counts(1 << 16, 0)
    {
    }

    void run(const KeyStems &key, quint32 begin, quint32 end, const Lists<quint32> &members,
             std::deque<Link> &links, const std::stop_token &stop, SearchProgress *progress)
    {
        const auto &runs = key.runs();
        const auto &pairs = key.pairs();
        m_kept.resize(key.ids().size());
        if (key.index() && m_scratch.seen.size() * 64 < key.ids().size())
            m_scratch.seen.resize(key.ids().size() / 64 + 1, 0);
        // The first run whose stems may still match the probe; probes come by increasing size.
        size_t firstRun = 0;
        size_t ownRun = 0;
        for (quint32 x = begin; x < end; ++x) {
            if (stop.stop_requested())
                return;
            if (progress)
                progress->done.fetch_add(members.size(key.ids()[x]), std::memory_order_relaxed);
            while (ownRun + 1 < runs.size() && runs[ownRun + 1].begin <= x)
                ++ownRun;
            const qint64 a = runs[ownRun].size;
            const qint64 smallest = genModules::smallestPartner(a, m_k);
            if (a <= 0 || smallest > a)
                continue;
            while (runs[firstRun].size < smallest)
                ++firstRun;
            // The index pays while its entries to read are fewer than the signatures to scan,
            // which each cost less: names as alike as a system's own files fill its buckets.
            const quint32 window = x - runs[firstRun].begin;
            size_t kept = 0;
            m_found.clear();
            const quint64 budget =
                m_tuning.scanWhenCheaper ? window / 2 : std::numeric_limits<quint64>::max();
            if (key.index() && probesIndex(a, window, m_k, m_tuning) &&
                key.index()->candidates(x, runs[firstRun].begin, budget, m_scratch, m_found)) {
                kept = similarFound(key, x, m_k, m_found, m_kept.data());
            } else {
                for (size_t run = firstRun; run <= ownRun; ++run) {
                    const qint64 b = runs[run].size;
                    const qint64 needed = genModules::fewestMatches(a, b, m_k);
                    const quint32 runEnd = run == ownRun ? x : runs[run + 1].begin;
                    if (a + b - 2 * needed >= 0)
                        kept += similarSignatures(key.signatures(), runs[run].begin, runEnd,
                                                  key.signatures()[x], a + b - 2 * needed,
                                                  m_kept.data() + kept);
                }
            }
            if (kept == 0)
                continue;
            for (auto p = pairs.begin(x); p != pairs.end(x); ++p)
                ++m_counts[*p];
            for (size_t i = 0; i < kept; ++i) {
                // The n-th occurrence of a pair in y is shared when x holds more than n of it.
                if (i + 8 < kept) // y's pairs lie anywhere in the key's list
                    __builtin_prefetch(pairs.begin(m_kept[i + 8]));
                const quint32 y = m_kept[i];
                const quint16 *p = pairs.begin(y);
                const qint64 b = pairs.size(y);
                qint64 common = 0;
                for (qint64 j = 0, runStart = 0; j < b; ++j) {
                    runStart = j > 0 && p[j] != p[j - 1] ? j : runStart;
                    common += quint64(j - runStart) < m_counts[p[j]] ? 1 : 0;
                }
                if (genModules::qualifies(common, a, b, m_k))
                    links.push_back(Link{key.ids()[x], key.ids()[y],
                                         genModules::similarityPercent(common, a + b)});
            }
            for (auto p = pairs.begin(x); p != pairs.end(x); ++p)
                m_counts[*p] = 0;
        }
    }

private:
    const int m_k;
    const SearchTuning m_tuning;
    std::vector<quint32> m_counts; // the probe's count of each letter pair, else 0
    std::vector<quint32> m_kept;
    std::vector<quint32> m_found; // the index's candidates of one probe
    StemIndex::Scratch m_scratch;
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

// Runs `work(t)` for each t below `threads` at once, t = 0 on this thread and the others on
// threads `workers` starts. When the process may have no more threads, the work runs on those
// started, so it must be shared out by `work` itself, not by t.
void runWorkers(const SearchThreads &workers, unsigned threads,
                const std::function<void(unsigned)> &work)
{
    std::vector<std::jthread> pool;
    try {
        for (unsigned t = 1; t < threads; ++t) {
            auto run = [&work, t] { work(t); };
            pool.push_back(workers.start ? workers.start(run) : std::jthread(run));
        }
    } catch (const std::system_error &) {
        // Out of threads: the ones started and this one share the work.
    }
    work(0);
}

// The search in its steps, in the order findDuplicates runs them.
class Search {
public:
    Search(const FileRecords &records, int percent, std::stop_token stop, SearchProgress *progress,
           const SearchTuning &tuning)
        : m_percent(percent), m_tuning(tuning), m_stop(std::move(stop)),
          m_progress(progress), m_groups{records, {}}
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

    // Joins the distinct stems of each extension key on all cores. A key's probes are cut into
    // slices of about equal work, so that one large key cannot keep a core busy alone; the
    // largest keys go first, and a key's pairs and signatures live only while it is joined.
    // False when stopped.
    bool joinStems(const SearchThreads &workers)
    {
        std::vector<KeyStems> keys;
        keys.reserve(m_groupsOfExt.size());
        for (auto &ids : m_groupsOfExt)
            keys.emplace_back(m_groups, std::move(ids));
        m_groupsOfExt.clear();
        unsigned threads = workers.count;
        if (threads == 0)
            threads = std::max(1u, std::thread::hardware_concurrency());
        const std::vector<Slice> slices = slice(keys, threads);
        threads = std::min<unsigned>(threads, unsigned(std::max<size_t>(slices.size(), 1)));
        m_found.resize(threads);

        std::vector<std::once_flag> tokenized(keys.size());
        std::vector<std::atomic<quint32>> slicesLeft(keys.size());
        for (const Slice &s : slices)
            ++slicesLeft[s.key];
        std::atomic<size_t> nextSlice{0};
        auto worker = [&](unsigned t) {
            StemJoin join(m_percent, m_tuning);
            for (size_t i; (i = nextSlice.fetch_add(1)) < slices.size();) {
                if (m_stop.stop_requested())
                    return;
                const Slice &s = slices[i];
                KeyStems &key = keys[s.key];
                std::call_once(tokenized[s.key],
                               [&] { key.tokenize(m_groups, m_percent, m_tuning); });
                join.run(key, s.begin, s.end, m_members, m_found[t], m_stop, m_progress);
                if (slicesLeft[s.key].fetch_sub(1) == 1)
                    key = KeyStems();
            }
        };
        runWorkers(workers, threads, worker);
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

    // Hands out the pairs in the order of the plain loop, by first candidate, then second, on
    // `threads` of `workers`. The candidates are cut into parts of about equal numbers of pairs,
    // counted first, so that each part's pairs are numbered before any is made, and the threads
    // claim the parts in order. A piece goes out once it holds `piecePairs` pairs or more.
    void streamPairs(const SearchThreads &workers, unsigned threads, size_t piecePairs,
                     const PairPieceSink &sink, SearchStats &stats)
    {
        const auto n = quint32(m_groupOf.size());
        // Counted in chunks on all threads; a part ends at the latest where its chunk does.
        struct Part {
            quint32 begin;
            quint64 number; // from the start of its chunk, until the chunks are joined
        };
        const size_t chunks = (size_t(n) + kCountChunk - 1) / kCountChunk;
        std::vector<std::vector<Part>> chunkParts(chunks);
        std::vector<quint64> chunkPairs(chunks, 0);
        std::atomic<size_t> nextChunk{0};
        runWorkers(workers, threads, [&](unsigned) {
            for (size_t c; !m_stop.stop_requested() && (c = nextChunk.fetch_add(1)) < chunks;) {
                const auto begin = quint32(c * kCountChunk);
                const quint32 end = std::min<quint32>(n, begin + kCountChunk);
                quint64 inPart = 0;
                for (quint32 i = begin; i < end; ++i) {
                    if (i == begin || inPart >= kPartPairs) {
                        chunkParts[c].push_back(Part{i, chunkPairs[c]});
                        inPart = 0;
                    }
                    const quint64 count = laterPartners(i, nullptr);
                    chunkPairs[c] += count;
                    inPart += count;
                }
            }
        });
        if (m_stop.stop_requested()) {
            stats.stopped = true;
            return;
        }
        std::vector<Part> parts;
        quint64 total = 0;
        for (size_t c = 0; c < chunks; ++c) {
            for (const Part &part : chunkParts[c])
                parts.push_back(Part{part.begin, total + part.number});
            total += chunkPairs[c];
        }
        chunkParts = {};
        parts.push_back(Part{n, total});

        std::atomic<size_t> nextPart{0};
        std::atomic<quint64> handedOut{0}, comparisons{0}, done{0};
        const auto worker = [&](unsigned t) {
            Partners partners;
            std::vector<FoundPair> &pairs = partners.pairs;
            for (size_t part;
                 !m_stop.stop_requested() && (part = nextPart.fetch_add(1)) + 1 < parts.size();) {
                const quint32 end = parts[part + 1].begin;
                quint64 number = parts[part].number, compared = 0;
                quint32 i = parts[part].begin;
                for (; i < end && !m_stop.stop_requested(); ++i) {
                    laterPartners(i, &partners);
                    compared += n - 1 - i;
                    if (pairs.size() >= piecePairs && i + 1 < end) {
                        sink(PairPiece{t, part, number, pairs, false});
                        number += pairs.size();
                        pairs.clear();
                    }
                }
                sink(PairPiece{t, part, number, pairs, true});
                handedOut += number + pairs.size() - parts[part].number;
                pairs.clear();
                comparisons += compared;
                done += i - parts[part].begin;
                if (m_progress)
                    m_progress->done.fetch_add(i - parts[part].begin, std::memory_order_relaxed);
            }
        };
        runWorkers(workers, unsigned(std::min<size_t>(parts.size() - 1, threads)), worker);
        stats.pairs = handedOut;
        stats.comparisons = comparisons;
        stats.stopped = done < n;
    }

private:
    // What is left of a group's members after a candidate, and their percent with it.
    struct Later {
        const quint32 *next;
        const quint32 *end;
        int percent;
    };
    // A thread's pairs on their way out, and the lists they are merged from.
    struct Partners {
        std::vector<FoundPair> pairs;
        std::vector<Later> lists;
    };

    struct Slice {
        quint32 key;
        quint32 begin;
        quint32 end;
    };

    // Cuts the keys' probes into slices of about a sixteenth of a thread's share of the work,
    // counted as the signatures each probe is compared with (a probe of the index as a fixed
    // number of them), largest keys first.
    std::vector<Slice> slice(const std::vector<KeyStems> &keys, unsigned threads) const
    {
        const auto smallest = [k = m_percent](qint64 a) {
            return genModules::smallestPartner(a, k);
        };
        const auto probeWork = [&](quint32 key, qint64 size, quint64 window) {
            return indexesKey(keys[key].count(), m_tuning) &&
                           probesIndex(size, window, m_percent, m_tuning)
                       ? kIndexProbeWork
                       : 1 + window;
        };
        std::vector<quint64> work(keys.size(), 0);
        for (size_t key = 0; key < keys.size(); ++key)
            keys[key].forEachProbe(smallest, [&](quint32, qint64 size, quint64 w) {
                work[key] += probeWork(quint32(key), size, w);
            });
        std::vector<quint32> order(keys.size());
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(),
                         [&](quint32 a, quint32 b) { return work[a] > work[b]; });
        const quint64 share = std::max<quint64>(
            std::accumulate(work.begin(), work.end(), quint64(0)) / (16 * quint64(threads)), 1);
        std::vector<Slice> slices;
        for (quint32 key : order) {
            quint64 done = 0;
            quint32 begin = 0;
            keys[key].forEachProbe(smallest, [&](quint32 x, qint64 size, quint64 w) {
                done += probeWork(key, size, w);
                if (done >= share) {
                    slices.push_back(Slice{key, begin, x + 1});
                    begin = x + 1;
                    done = 0;
                }
            });
            if (begin < keys[key].count())
                slices.push_back(Slice{key, begin, keys[key].count()});
        }
        return slices;
    }

    // Counts the partners of candidate i that come after it and, with `out`, appends its pairs
    // with them in order. They are the later members of its own group and of each alike group,
    // lists in candidate order: a few are merged, many sorted.
    quint64 laterPartners(quint32 i, Partners *out) const
    {
        const quint32 own = m_groupOf[i];
        quint64 count = 0;
        if (out)
            out->lists.clear();
        const auto add = [&](quint32 group, int percent) {
            const quint32 *it = std::upper_bound(m_members.begin(group), m_members.end(group), i);
            count += quint64(m_members.end(group) - it);
            if (out && it != m_members.end(group))
                out->lists.push_back(Later{it, m_members.end(group), percent});
        };
        if (m_groups.pairCount(own) > 0)
            add(own, 100);
        for (auto link = m_alike.begin(own); link != m_alike.end(own); ++link)
            add(link->first, link->second);
        if (!out)
            return count;
        auto &lists = out->lists;
        auto &pairs = out->pairs;
        const size_t from = pairs.size();
        if (lists.size() <= kMergeAtMost) {
            while (!lists.empty()) {
                auto least = lists.begin();
                for (auto l = least + 1; l != lists.end(); ++l)
                    least = *l->next < *least->next ? l : least;
                pairs.push_back(FoundPair{i, *least->next, least->percent});
                if (++least->next == least->end)
                    lists.erase(least);
            }
            return count;
        }
        for (const Later &list : lists) {
            for (const quint32 *it = list.next; it != list.end; ++it)
                pairs.push_back(FoundPair{i, *it, list.percent});
        }
        std::sort(pairs.begin() + qsizetype(from), pairs.end(),
                  [](const FoundPair &a, const FoundPair &b) { return a.second < b.second; });
        return count;
    }

    const int m_percent;
    const SearchTuning m_tuning;
    const std::stop_token m_stop;
    SearchProgress *const m_progress;
    static constexpr quint32 kEmpty = std::numeric_limits<quint32>::max();
    static constexpr quint64 kIndexProbeWork = 256;
    // Small enough that the threads stay busy to the end, large enough that they seldom wait
    // for each other's parts.
    static constexpr quint32 kPartPairs = 16384;
    static constexpr quint32 kCountChunk = 16384;
    // Merging scans every list for the least next partner: cheaper than sorting for a few
    // (up to 16 rather than 4: 5 % less CPU for all of dups on the /usr mirror).
    static constexpr size_t kMergeAtMost = 16;
    Groups m_groups;
    std::vector<quint32> m_groupOf;
    std::vector<std::vector<quint32>> m_groupsOfExt;
    Lists<quint32> m_members;
    std::vector<std::deque<Link>> m_found; // in blocks: no copy, no spare half at the peak
    Lists<std::pair<quint32, int>> m_alike;
};

// Pairs a piece gathers before it goes out, where pieces share the cores: they and their rows
// stay in the cache.
constexpr size_t kPiecePairs = 2048;

// Joins on `threads` and hands the pairs out on `outputThreads` of them, in pieces of at least
// `piecePairs`.
SearchStats runSearch(const FileRecords &fileRecords, int percent, const PairPieceSink &sink,
                      std::stop_token stop, SearchProgress *progress, const SearchThreads &threads,
                      unsigned outputThreads, size_t piecePairs, const SearchTuning &tuning)
{
    QElapsedTimer clock;
    clock.start();
    SearchStats stats;
    stats.candidates = fileRecords.count();
    if (progress) {
        progress->done.store(0);
        progress->total.store(2 * stats.candidates);
    }
    Search search(fileRecords, percent, std::move(stop), progress, tuning);
    search.group();
    search.listMembers();
    if (search.joinStems(threads)) {
        search.linkAlikeGroups();
        search.streamPairs(threads, outputThreads, piecePairs, sink, stats);
    } else {
        stats.stopped = true;
    }
    stats.elapsedSeconds = clock.elapsed() / 1000;
    return stats;
}

} // namespace

SearchStats findDuplicates(const FileRecords &fileRecords, int percent, const PairSink &sink,
                           std::stop_token stop, SearchProgress *progress,
                           const SearchThreads &threads, const SearchTuning &tuning)
{
    return runSearch(
        fileRecords, percent,
        [&](const PairPiece &piece) {
            for (const FoundPair &pair : piece.pairs)
                sink(pair.first, pair.second, pair.percent);
        },
        std::move(stop), progress, threads, 1, 1, tuning); // each candidate's pairs as found
}

SearchStats findDuplicates(const FileRecords &fileRecords, int percent, const PairPieceSink &sink,
                           std::stop_token stop, SearchProgress *progress,
                           const SearchThreads &threads, const SearchTuning &tuning)
{
    return runSearch(fileRecords, percent, sink, std::move(stop), progress, threads,
                     threads.count > 0 ? threads.count
                                       : std::max(1u, std::thread::hardware_concurrency()),
                     kPiecePairs, tuning);
}

} // namespace twinsift
