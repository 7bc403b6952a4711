// SPDX-License-Identifier: MIT
#include "dups/candidatetable.h"
#include "dups/duplicatesearch.h"
#include "plainsearch.h"
#include "treebuilder.h"

#include <QRandomGenerator>
#include <QTest>

using namespace twinsift;
using namespace Qt::StringLiterals;
using reference::Pair;

namespace {

struct Result {
    std::vector<Pair> pairs;
    SearchStats stats;
    std::vector<QByteArray> paths;
};

Result search(const std::vector<reference::Candidate> &candidates, int percent,
              unsigned threads = 0)
{
    FileRecords records;
    for (size_t i = 0; i < candidates.size(); ++i)
        records.append({candidates[i].stem, QByteArray::number(qulonglong(i)), candidates[i].ext});
    Result result;
    result.stats = findDuplicates(
        records, percent, result.paths,
        [&](quint32 a, quint32 b, int pct) {
            result.pairs.push_back({a, b, pct});
        },
        {}, nullptr, threads);
    return result;
}

// Random stems over a small alphabet, with repeats, copies and shared parts, so that
// identical stems, repeated letter pairs and near-threshold scores are all common.
std::vector<reference::Candidate> randomCandidates(QRandomGenerator &rng, int count)
{
    static const QStringList exts{u"JPG"_s, u"MP3"_s, u"DOC"_s, u" PG"_s};
    std::vector<reference::Candidate> out;
    for (int i = 0; i < count; ++i) {
        if (!out.empty() && rng.bounded(4) == 0) {
            auto copy = out[size_t(rng.bounded(int(out.size())))];
            if (rng.bounded(2) == 0)
                copy.stem.append(QChar(u'A' + rng.bounded(3)));
            out.push_back(copy);
            continue;
        }
        QString stem;
        const int length = 2 + rng.bounded(9);
        for (int k = 0; k < length; ++k)
            stem.append(QChar(u'A' + rng.bounded(4)));
        out.push_back({stem, exts[rng.bounded(int(exts.size()))]});
    }
    return out;
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void designedCases_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QList<int>>("rows"); // first, second, percent for each row

        QTest::newRow("report reports")
            << QStringList{u"report.doc"_s, u"reports.doc"_s} << 60 << QList<int>{0, 1, 91};
        QTest::newRow("other extension never pairs")
            << QStringList{u"notes.txt"_s, u"notes.doc"_s} << 30 << QList<int>{};
        QTest::newRow("equal to threshold")
            << QStringList{u"abcdef.txt"_s, u"abcdxy.txt"_s} << 60 << QList<int>{};
        QTest::newRow("just above threshold")
            << QStringList{u"abcdef.txt"_s, u"abcdxy.txt"_s} << 59 << QList<int>{0, 1, 60};
        QTest::newRow("one candidate") << QStringList{u"alone.txt"_s} << 60 << QList<int>{};
        QTest::newRow("empty table is no failure") << QStringList{} << 60 << QList<int>{};
        QTest::newRow("order by first then second")
            << QStringList{u"aaa.jpg"_s, u"bbb.jpg"_s, u"aaa.jpg"_s, u"bbb.jpg"_s, u"aaa.jpg"_s}
            << 60 << QList<int>{0, 2, 100, 0, 4, 100, 1, 3, 100, 2, 4, 100};
    }
    void designedCases()
    {
        QFETCH(QStringList, names);
        QFETCH(int, percent);
        QFETCH(QList<int>, rows);
        std::vector<reference::Candidate> candidates;
        for (const QString &name : names)
            candidates.push_back({genModules::lettersOnly(name), genModules::extUpper(name)});
        const Result result = search(candidates, percent);
        std::vector<Pair> expected;
        for (qsizetype r = 0; r + 2 < rows.size(); r += 3)
            expected.push_back({quint32(rows[r]), quint32(rows[r + 1]), rows[r + 2]});
        QCOMPARE(result.pairs, expected);
        const quint64 n = quint64(names.size());
        QCOMPARE(result.stats.candidates, n);
        QCOMPARE(result.stats.comparisons, n * (n - 1) / 2);
        QCOMPARE(result.stats.pairs, quint64(expected.size()));
    }

    void drainsTableAndKeepsPathsInOrder()
    {
        FileRecords records;
        records.append({u"ONE"_s, "/a/one.txt", u"TXT"_s});
        records.append({u"ONE"_s, "/b/one.txt ", u" TXT"_s}); // spaces: key trimmed, path kept
        std::vector<QByteArray> paths;
        std::vector<Pair> pairs;
        findDuplicates(records, 60, paths, [&](quint32 a, quint32 b, int pct) {
            pairs.push_back({a, b, pct});
        });
        QVERIFY(records.isEmpty());
        QCOMPARE(paths, (std::vector<QByteArray>{"/a/one.txt", "/b/one.txt "}));
        QCOMPARE(pairs, (std::vector<Pair>{{0, 1, 100}}));
    }

    // The fast search must give exactly the rows of the plain loop.
    void agreesWithPlainLoop()
    {
        QRandomGenerator rng(20261206);
        for (int round = 0; round < 1500; ++round) {
            const auto candidates = randomCandidates(rng, 2 + rng.bounded(40));
            const int percent = 30 + rng.bounded(61);
            const auto expected = reference::plainPairs(candidates, percent);
            const Result result = search(candidates, percent, 1 + unsigned(round % 2));
            if (result.pairs != expected) {
                QString dump;
                for (const auto &c : candidates)
                    dump += c.stem + u'.' + c.ext + u' ';
                QFAIL(qPrintable(u"round %1 at %2%: %3"_s.arg(round).arg(percent).arg(dump)));
            }
        }
    }

    void stemsLongerThanAnyName()
    {
        // No file name gives such stems, but the search must still be exact for them.
        const QString longStem(70000, u'A');
        const std::vector<reference::Candidate> candidates{{longStem, u"TXT"_s},
                                                           {longStem + u"B"_s, u"TXT"_s},
                                                           {u"AB"_s, u"TXT"_s},
                                                           {longStem, u"TXT"_s}};
        QCOMPARE(search(candidates, 60).pairs,
                 (std::vector<Pair>{{0, 1, 100}, {0, 3, 100}, {1, 3, 100}}));
    }

    void stopKeepsRowsSoFar()
    {
        std::vector<reference::Candidate> candidates(50, {u"SAME"_s, u"TXT"_s});
        FileRecords records;
        for (const auto &c : candidates)
            records.append({c.stem, "p", c.ext});
        std::stop_source stop;
        std::vector<QByteArray> paths;
        quint64 rows = 0;
        const SearchStats stats = findDuplicates(
            records, 60, paths,
            [&](quint32, quint32, int) {
                if (++rows == 10)
                    stop.request_stop();
            },
            stop.get_token());
        QVERIFY(stats.stopped);
        QCOMPARE(stats.pairs, 49u); // the first candidate's rows were all handed out
        QCOMPARE(stats.comparisons, 49u);
    }

    void candidatesFromTree()
    {
        TreeBuilder tree;
        tree.files({"report.doc", "old/report.doc", "zeta.doc", "x.txt", "12.jpg", "notes",
                    ".hidden.doc", "Remix.mp3", "remix2.mp3", "My Remix.mp3"});
        KeywordList keywords;
        keywords.setKeywords({u"REMIX"_s, u"remix"_s});
        for (const QByteArray &root : {tree.root(), QByteArray(tree.root() + '/')}) {
            FileRecords records;
            const WalkOutcome outcome = storeData(root, keywords, records);
            QVERIFY(outcome.errors.empty());
            QStringList got;
            while (!records.isEmpty()) {
                const FileRecord r = records.takeFirst();
                got.append(r.filename + u'|' + QString::fromUtf8(r.path.mid(tree.root().size())) +
                           u'|' + r.ext);
            }
            QCOMPARE(got, QStringList({u"MYREMIX|/My Remix.mp3|MP3"_s, u"NO|/notes|TES"_s,
                                       u"REPORT|/old/report.doc|DOC"_s, u"REPORT|/report.doc|DOC"_s,
                                       u"ZETA|/zeta.doc|DOC"_s}));
        }
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
