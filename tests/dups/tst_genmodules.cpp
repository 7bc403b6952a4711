// SPDX-License-Identifier: MIT
#include "dups/genmodules.h"

#include <QTest>

using namespace twinsift::genModules;
using namespace Qt::StringLiterals;

class TestGenModules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stemAndKey_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stem");
        QTest::addColumn<QString>("key");
        const auto row = [](const char *what, const QString &name, const char16_t *stem,
                            const char16_t *key) {
            QTest::newRow(what) << name << QString::fromUtf16(stem) << QString::fromUtf16(key);
        };
        row("digits dropped", u"ab1.txt"_s, u"AB", u"TXT");
        row("one letter", u"x.txt"_s, u"X", u"TXT");
        row("no letter", u"7.txt"_s, u"", u"TXT");
        row("accented letter dropped", u"Über-Foto.png"_s, u"BERFOTO", u"PNG");
        row("no extension loses three", u"notes"_s, u"NO", u"TES");
        row("long extension leaks in", u"IMG_2041 (copy).jpeg"_s, u"IMGCOPYJ", u"PEG");
        row("three characters or fewer", u"abc"_s, u"", u"ABC");
        row("empty", QString(), u"", u"");
        row("space and case", u"Report 2.doc"_s, u"REPORT", u"DOC");
        row("dotless i upper-cases to I", u"\u0131x.txt"_s, u"IX", u"TXT");
        row("escaped byte is no letter", u"a"_s + QChar(0xDCE9) + u"b.txt"_s, u"AB", u"TXT");
        row("short extension keeps the dot", u"data.gz"_s, u"DATA", u".GZ");
        row("full path", u"/Music/Song.Mp3"_s, u"MUSICSONG", u"MP3");
        row("sharp s keeps its length", u"stra\u00DF"_s, u"ST", u"RA\u00DF");
        row("shorter than three", u"ab"_s, u"", u"AB");
    }
    void stemAndKey()
    {
        QFETCH(QString, name);
        QFETCH(QString, stem);
        QFETCH(QString, key);
        QCOMPARE(twinsift::genModules::lettersOnly(name), stem);
        QCOMPARE(twinsift::genModules::extUpper(name), key);
    }

    void charPairs()
    {
        QCOMPARE(twinsift::genModules::charPairs(u"ABC"), QStringList({u"AB"_s, u"BC"_s}));
        QCOMPARE(twinsift::genModules::charPairs(u"A"), QStringList());
    }

    void similarity_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("matches");
        QTest::addColumn<double>("score");
        QTest::newRow("report reports") << u"REPORT"_s << u"REPORTS"_s << 5 << 10.0 / 11;
        QTest::newRow("france french") << u"FRANCE"_s << u"FRENCH"_s << 2 << 0.4;
        QTest::newRow("repeats spent once") << u"AAAA"_s << u"AA"_s << 1 << 0.5;
        QTest::newRow("abab baba") << u"ABAB"_s << u"BABA"_s << 2 << 4.0 / 6;
        QTest::newRow("equal") << u"HOLIDAY"_s << u"HOLIDAY"_s << 6 << 1.0;
        QTest::newRow("nothing shared") << u"AB"_s << u"CD"_s << 0 << 0.0;
        QTest::newRow("one letter against longer") << u"A"_s << u"AB"_s << 0 << 0.0;
        QTest::newRow("no pairs at all") << u"A"_s << u"A"_s << 0 << 0.0;
        QTest::newRow("more repeats than 16 bits count")
            << QString(70001, u'A') << QString(70001, u'A') << 70000 << 1.0;
        QTest::newRow("not only capitals") << u"ab-ab"_s << u"ab-"_s << 2 << 4.0 / 6;
    }
    void similarity()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, matches);
        QFETCH(double, score);
        QCOMPARE(commonPairs(first, second), matches);
        QCOMPARE(commonPairs(second, first), matches);
        QCOMPARE(pairSimilarity(first, second), score);
        QCOMPARE(pairSimilarity(second, first), score);
    }

    void threshold_data()
    {
        QTest::addColumn<int>("matches");
        QTest::addColumn<int>("pairsA");
        QTest::addColumn<int>("pairsB");
        QTest::addColumn<int>("percent");
        QTest::addColumn<bool>("qualifies");
        QTest::addColumn<int>("shown");
        // ABCDEF / ABCDXY: 3 shared of 5 + 5 is exactly 0.6.
        QTest::newRow("equal to the slider never qualifies") << 3 << 5 << 5 << 60 << false << 60;
        QTest::newRow("just below the slider qualifies") << 3 << 5 << 5 << 59 << true << 60;
        QTest::newRow("report reports") << 5 << 5 << 6 << 60 << true << 91;
        QTest::newRow("half rounds to even, down") << 1 << 7 << 9 << 12 << true << 12; // 12.5
        QTest::newRow("half rounds to even, up") << 7 << 7 << 9 << 87 << true << 88;   // 87.5
        QTest::newRow("identical at the top slider") << 4 << 4 << 4 << 90 << true << 100;
        QTest::newRow("stems without a letter pair") << 0 << 0 << 0 << 30 << false << 0;
    }
    void threshold()
    {
        QFETCH(int, matches);
        QFETCH(int, pairsA);
        QFETCH(int, pairsB);
        QFETCH(int, percent);
        QFETCH(bool, qualifies);
        QFETCH(int, shown);
        QCOMPARE(twinsift::genModules::qualifies(matches, pairsA, pairsB, percent), qualifies);
        QCOMPARE(similarityPercent(matches, pairsA + pairsB), shown);
    }
};

QTEST_GUILESS_MAIN(TestGenModules)
#include "tst_genmodules.moc"
