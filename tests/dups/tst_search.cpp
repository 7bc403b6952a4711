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
};

// Searches the candidates, each with its number as its path, stopping after `stopAt` pairs;
// the table must be drained and the paths kept in order.
Result search(const std::vector<reference::Candidate> &candidates, int percent,
              unsigned threads = 0, size_t stopAt = 0)
{
    FileRecords records;
    for (size_t i = 0; i < candidates.size(); ++i)
        records.append({candidates[i].stem, QByteArray::number(i) + ' ', candidates[i].ext});
    Result result;
    std::vector<QByteArray> paths;
    std::stop_source stop;
    result.stats = findDuplicates(
        records, percent, paths,
        [&](quint32 a, quint32 b, int pct) {
            result.pairs.push_back({a, b, pct});
            if (result.pairs.size() == stopAt)
                stop.request_stop();
        },
        stop.get_token(), nullptr, threads);
    [&] {
        QVERIFY(records.isEmpty());
        QCOMPARE(paths.size(), candidates.size());
        for (size_t i = 0; i < paths.size(); ++i)
            QCOMPARE(paths[i], QByteArray::number(i) + ' ');
    }();
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
    void designedCases_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("rows"); // first, second, percent for each row
        const auto row = [](const char *tag, const char *names, int percent, const char *rows) {
            QTest::newRow(tag) << QString::fromUtf8(names) << percent << QString::fromUtf8(rows);
        };
        row("report reports", "report.doc reports.doc", 60, "0 1 91");
        row("other extension never pairs", "notes.txt notes.doc", 30, "");
        row("equal to threshold", "abcdef.txt abcdxy.txt", 60, "");
        row("just above threshold", "abcdef.txt abcdxy.txt", 59, "0 1 60");
        row("one candidate", "alone.txt", 60, "");
        row("empty table is no failure", "", 60, "");
        row("order by first then second", "aaa.jpg bbb.jpg aaa.jpg bbb.jpg aaa.jpg", 60,
            "0 2 100 0 4 100 1 3 100 2 4 100");
    }
    void designedCases()
    {
        QFETCH(QString, names);
        QFETCH(int, percent);
        QFETCH(QString, rows);
        std::vector<reference::Candidate> candidates;
        for (const QString &name : names.split(u' ', Qt::SkipEmptyParts))
            candidates.push_back({genModules::lettersOnly(name), genModules::extUpper(name)});
        std::vector<Pair> expected;
        const QStringList cells = rows.split(u' ', Qt::SkipEmptyParts);
        for (qsizetype r = 0; r + 2 < cells.size(); r += 3)
            expected.push_back({cells[r].toUInt(), cells[r + 1].toUInt(), cells[r + 2].toInt()});
        const Result result = search(candidates, percent);
        QCOMPARE(result.pairs, expected);
        const quint64 n = candidates.size();
        QCOMPARE(result.stats.candidates, n);
        QCOMPARE(result.stats.comparisons, n * (n - 1) / 2);
        QCOMPARE(result.stats.pairs, quint64(expected.size()));
    }

    // The fast search must give exactly the rows of the plain loop.
    void agreesWithPlainLoop()
    {
        QRandomGenerator rng(20261206);
        for (int round = 0; round < 1500; ++round) {
            const auto candidates = randomCandidates(rng, 2 + rng.bounded(40));
            const int percent = 30 + rng.bounded(61);
            if (search(candidates, percent, 1 + unsigned(round % 2)).pairs !=
                reference::plainPairs(candidates, percent)) {
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
        QCOMPARE(search({{longStem, u"TXT"_s},
                         {longStem + u"B"_s, u"TXT"_s},
                         {u"AB"_s, u"TXT"_s},
                         {longStem, u"TXT"_s}},
                        60)
                     .pairs,
                 (std::vector<Pair>{{0, 1, 100}, {0, 3, 100}, {1, 3, 100}}));
    }

    void stopKeepsRowsSoFar()
    {
        const Result result = search({50, {u"SAME"_s, u"TXT"_s}}, 60, 0, 10);
        QVERIFY(result.stats.stopped);
        QCOMPARE(result.stats.pairs, 49u); // the first candidate's rows were all handed out
        QCOMPARE(result.stats.comparisons, 49u);
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
            QVERIFY(storeData(root, keywords, records).errors.empty());
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
