// SPDX-License-Identifier: MIT
#include "dups/candidatetable.h"
#include "dups/duplicatesearch.h"
#include "dups/genmodules.h"
#include "plainsearch.h"
#include "treebuilder.h"

#include <QRandomGenerator>
#include <QTest>

#include <mutex>

using namespace twinsift;
using namespace Qt::StringLiterals;

namespace {

struct Result {
    std::vector<reference::Pair> pairs;
    SearchStats stats;
    bool sound = true; // the table unchanged, the counts right
    // In pieces: where each piece's pairs stand among all pairs, and how many it has.
    std::vector<std::pair<quint64, size_t>> pieces;
};

// Searches the candidates, each with its number as its path and, from the second on, every
// other one with its number as its inode, stopping after `stopAt` pairs. A whole search
// reports all its work done: the join's and the handing out's, a candidate each. With
// `inPieces` the pairs come in numbered parts on several threads: the first parts without a
// gap, each on one thread, its pieces numbered on from each other, ended once.
FileIdentity identity(size_t i)
{
    return i % 2 ? FileIdentity{1, i, 0, 0} : FileIdentity{};
}

Result search(const std::vector<reference::Candidate> &candidates, int percent,
              const SearchThreads &threads = {}, size_t stopAt = 0, bool inPieces = false,
              const SearchTuning &tuning = {})
{
    FileRecords records;
    for (size_t i = 0; i < candidates.size(); ++i)
        records.append(QByteArray(QByteArray::number(i) + ' '), 0, candidates[i].stem,
                       candidates[i].ext, identity(i));
    Result r;
    std::stop_source stop;
    SearchProgress progress;
    struct Piece {
        PairPiece piece;
        std::vector<reference::Pair> pairs;
    };
    std::vector<Piece> pieces;
    std::mutex mutex;
    const auto take = [&](quint32 a, quint32 b, int pct) {
        r.pairs.push_back({a, b, pct});
        if (r.pairs.size() == stopAt)
            stop.request_stop();
    };
    if (inPieces) {
        r.stats = findDuplicates(
            records, percent,
            [&](const PairPiece &piece) {
                const std::lock_guard lock(mutex);
                pieces.push_back({piece, {}});
                for (const FoundPair &pair : piece.pairs)
                    pieces.back().pairs.push_back({pair.first, pair.second, pair.percent});
                if (stopAt > 0 && pieces.size() == stopAt)
                    stop.request_stop();
            },
            stop.get_token(), &progress, threads, tuning);
        std::stable_sort(pieces.begin(), pieces.end(), [](const Piece &a, const Piece &b) {
            return a.piece.part < b.piece.part;
        });
        const unsigned most = threads.count ? threads.count : std::thread::hardware_concurrency();
        for (size_t k = 0; k < pieces.size(); ++k) {
            const PairPiece &p = pieces[k].piece;
            const bool partStarts = k == 0 || pieces[k - 1].piece.last;
            const quint64 before = k == 0 ? 0 : r.pieces.back().first + r.pieces.back().second;
            r.sound = r.sound && p.worker < most &&
                      (partStarts && r.stats.stopped ? p.number >= before : p.number == before) &&
                      p.part == (k == 0 ? 0 : pieces[k - 1].piece.part + (partStarts ? 1 : 0)) &&
                      (partStarts || p.worker == pieces[k - 1].piece.worker);
            r.pieces.emplace_back(p.number, pieces[k].pairs.size());
            r.pairs.insert(r.pairs.end(), pieces[k].pairs.begin(), pieces[k].pairs.end());
        }
        r.sound = r.sound && (pieces.empty() || pieces.back().piece.last);
    } else {
        r.stats =
            findDuplicates(records, percent, take, stop.get_token(), &progress, threads, tuning);
    }
    const quint64 n = candidates.size();
    r.sound = r.sound && records.count() == n && r.stats.candidates == n &&
              r.stats.pairs == r.pairs.size() &&
              (r.stats.stopped || (r.stats.comparisons == n * (n - 1) / 2 &&
                                   progress.done == 2 * n && progress.total == 2 * n));
    for (size_t i = 0; i < n; ++i)
        r.sound = r.sound && records.path(i) == QByteArray::number(i) + ' ' &&
                  records.identity(i) == identity(i);
    return r;
}

// Random stems over a small alphabet, with repeats, copies and shared parts, so that
// identical stems, repeated letter pairs and near-threshold scores are all common.
std::vector<reference::Candidate> randomCandidates(QRandomGenerator &rng, int count)
{
    static const QStringList exts{u"JPG"_s, u"MP3"_s, u"DOC"_s, u" PG"_s};
    std::vector<reference::Candidate> out;
    while (int(out.size()) < count) {
        if (!out.empty() && rng.bounded(4) == 0) {
            out.push_back(out[size_t(rng.bounded(int(out.size())))]);
            if (rng.bounded(2) == 0)
                out.back().stem.append(QChar(u'A' + rng.bounded(3)));
            continue;
        }
        QString stem;
        for (int k = 2 + rng.bounded(9); k > 0; --k)
            stem.append(QChar(u'A' + rng.bounded(4)));
        out.push_back({stem, exts[rng.bounded(int(exts.size()))]});
    }
    return out;
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The fast search must give exactly the rows of the plain loop, from an empty table on, on
    // one thread, on two, and when the process runs out of threads after the first worker;
    // with stems joined by comparing signatures, and by the index from the smallest key on, by
    // two tokens and by three, with and without a scan where that is cheaper.
    void agreesWithPlainLoop()
    {
        int started = 0;
        const auto outOfThreads = [&](std::function<void()> work) {
            if (++started > 1)
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::jthread(std::move(work));
        };
        const SearchThreads threads[] = {{1, {}}, {2, {}}, {4, outOfThreads}};
        const SearchTuning tunings[] = {{}, {0, 0}, {0, 0, 64, false}, {0, 0, 0, false}};
        QRandomGenerator rng(20261206);
        for (int round = 0; round < 1500; ++round) {
            const auto candidates = randomCandidates(rng, rng.bounded(42));
            const int percent = 30 + rng.bounded(61);
            started = 0;
            const Result result = search(candidates, percent, threads[round % 3], 0, round % 2,
                                         tunings[round / 2 % 4]);
            QVERIFY2(result.sound && result.pairs == reference::plainPairs(candidates, percent),
                     qPrintable(u"round %1"_s.arg(round)));
        }
    }

    void stemsLongerThanAnyName()
    {
        // No file name gives such stems, but the search must still be exact for them.
        const QString a(70000, u'A'), t = u"TXT"_s;
        for (const SearchTuning &tuning :
             {SearchTuning{0, 0}, SearchTuning{0, 0, 0, false}, SearchTuning{}})
            QCOMPARE(search({{a, t}, {a + u'B', t}, {u"AB"_s, t}, {a, t}}, 60, {}, 0, false, tuning)
                         .pairs,
                     (std::vector<reference::Pair>{{0, 1, 100}, {0, 3, 100}, {1, 3, 100}}));
    }

    void stopKeepsRowsSoFar()
    {
        const Result result = search({50, {u"SAME"_s, u"TXT"_s}}, 60, {}, 10);
        QVERIFY(result.stats.stopped && result.sound);
        QCOMPARE(result.pairs.size(), 49u); // the first candidate's rows were all handed out
        QCOMPARE(result.stats.comparisons, 49u);
    }

    // Many parts, so that each thread is stopped in the middle of one: the parts handed out
    // still join up without a gap, each ended by its last piece, and every pair handed out is
    // where its number puts it.
    void stopInPiecesKeepsPartsWhole()
    {
        const std::vector<reference::Candidate> same(400, {u"SAME"_s, u"TXT"_s});
        const Result whole = search(same, 60, {2, {}}, 0, true);
        QVERIFY(whole.sound && !whole.stats.stopped);
        QCOMPARE(whole.pairs.size(), 400u * 399 / 2);
        for (const size_t stopAt : {size_t(1), size_t(3), size_t(5)}) {
            const Result stopped = search(same, 60, {2, {}}, stopAt, true);
            QVERIFY(stopped.sound && stopped.stats.stopped);
            QVERIFY(stopped.pairs.size() < whole.pairs.size());
            auto pair = stopped.pairs.begin();
            for (const auto &[number, count] : stopped.pieces) {
                const auto n = qsizetype(count);
                QVERIFY(std::equal(pair, pair + n, whole.pairs.begin() + qsizetype(number)));
                pair += n;
            }
        }
    }

    // Names of ASCII bytes take a shorter way to their stem and key than other names: both
    // must give what the name routines give, spaces, short names and keywords included.
    void asciiNamesAsTheNameRoutinesSayIt()
    {
        KeywordList keywords;
        keywords.setKeywords({u"AB"_s});
        QRandomGenerator rng(20261207);
        for (int round = 0; round < 3000; ++round) {
            QByteArray name;
            static constexpr char kBytes[] = " .aAbBzZ@[`{1\x7f";
            for (int k = rng.bounded(9); k > 0; --k)
                name += kBytes[rng.bounded(int(sizeof kBytes) - 1)];
            if (rng.bounded(8) == 0)
                name += "\xc3\xa9";
            FileRecords records;
            storeCandidate(QByteArray("dir/" + name), 4, keywords, records);
            const QString decoded = QString::fromUtf8(name);
            const QString stem = genModules::lettersOnly(decoded);
            const bool kept = stem.size() > 1 && stem != u"AB"_s;
            QCOMPARE(records.count(), kept ? 1u : 0u);
            if (kept)
                QCOMPARE(records.stem(0) + u'|' + records.ext(0),
                         stem + u'|' + genModules::extUpper(decoded).trimmed());
        }
    }

    void candidatesFromTree()
    {
        TreeBuilder tree;
        // Letters beyond ASCII may fold to capitals: long s and dotless i give "SI".
        tree.files({"report.doc", "old/report.doc", "zeta.doc", "x.txt", "12.jpg", "notes",
                    ".hidden.doc", "Remix.mp3", "remix2.mp3", "My Remix.mp3",
                    "\xC5\xBF\xC4\xB1.txt"});
        KeywordList keywords;
        keywords.setKeywords({u"REMIX"_s, u"remix"_s});
        FileRecords records;
        QVERIFY(storeData(tree.root(), keywords, records).errors.empty());
        QString got;
        for (size_t i = 0; i < records.count(); ++i)
            got += records.stem(i) + QString::fromUtf8(records.path(i)) + records.ext(i) + u' ';
        QCOMPARE(got.remove(QFile::decodeName(tree.root())),
                 u"MYREMIX/My Remix.mp3MP3 NO/notesTES REPORT/old/report.docDOC "
                 "REPORT/report.docDOC ZETA/zeta.docDOC SI/\u017F\u0131.txtTXT "_s);
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
