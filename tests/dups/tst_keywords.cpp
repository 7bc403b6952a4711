// SPDX-License-Identifier: MIT
#include "app/keywordlist.h"

#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace twinsift;
using namespace Qt::StringLiterals;

class TestKeywords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("one a line")
            << QByteArray("REMIX\nLIVE\n") << QStringList{u"REMIX"_s, u"LIVE"_s};
        QTest::newRow("comma splits a line")
            << QByteArray("REMIX,LIVE") << QStringList{u"REMIX"_s, u"LIVE"_s};
        QTest::newRow("blanks around items")
            << QByteArray("  REMIX ,\tLIVE  \n") << QStringList{u"REMIX"_s, u"LIVE"_s};
        QTest::newRow("CR LF line ends")
            << QByteArray("REMIX\r\nLIVE\r\n") << QStringList{u"REMIX"_s, u"LIVE"_s};
        QTest::newRow("no final line end")
            << QByteArray("REMIX\nLIVE") << QStringList{u"REMIX"_s, u"LIVE"_s};
        QTest::newRow("quoted item keeps commas")
            << QByteArray("\"A,B\",C") << QStringList{u"A,B"_s, u"C"_s};
        QTest::newRow("quote spans line ends")
            << QByteArray("\"REPORT\nZZZ\"\nLIVE") << QStringList{u"REPORT\nZZZ"_s, u"LIVE"_s};
        QTest::newRow("unterminated quote runs to the end")
            << QByteArray("\"REMIX,\r\nLIVE\n") << QStringList{u"REMIX,\r\nLIVE\n"_s};
        QTest::newRow("text after closing quote dropped")
            << QByteArray("\"AB\"CD,EF") << QStringList{u"AB"_s, u"EF"_s};
        QTest::newRow("blank lines give nothing")
            << QByteArray("\n\n , \nREMIX\n\n") << QStringList{u"REMIX"_s};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("byte order mark")
            << QByteArray("\xEF\xBB\xBFREMIX") << QStringList{u"REMIX"_s};
        QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9") << QStringList{u"caf\u00e9"_s};
        QTest::newRow("binary does not break")
            << QByteArray("\x00\xFF,AB", 5) << QStringList{u"\u0000\uFFFD"_s, u"AB"_s};
    }
    void parse()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, items);
        QCOMPARE(KeywordList::parse(content), items);
    }

    void matchesExactStemsOnly()
    {
        KeywordList list;
        list.setKeywords({u"REMIX"_s, u"remix"_s, u"MY REMIX"_s});
        QVERIFY(!list.notAkeyword(u"REMIX"_s));
        QVERIFY(list.notAkeyword(u"MYREMIX"_s) && list.notAkeyword(u"REMIXES"_s));
        QVERIFY(KeywordList().notAkeyword(u"REMIX"_s) && KeywordList().notAkeyword({}));
    }

    void load()
    {
        QTemporaryDir dir;
        KeywordList list;
        list.setKeywords({u"OLD"_s});
        const auto missing = list.load(dir.filePath(u"Keywords.txt"_s));
        QCOMPARE(missing.status, KeywordList::Status::Missing);
        QVERIFY(list.keywords().isEmpty());
        QVERIFY(!missing.error.isEmpty());

        // A folder cannot be opened as a file; this one opens but fails to read.
        for (const QString &unreadable : {dir.path(), u"/proc/self/mem"_s}) {
            const auto result = list.load(unreadable);
            QCOMPARE(result.status, KeywordList::Status::Unreadable);
            QVERIFY(!result.error.isEmpty());
        }

        QFile file(dir.filePath(u"Keywords.txt"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("REMIX\r\nLIVE") == 11);
        file.close();
        QCOMPARE(list.load(file.fileName()).status, KeywordList::Status::Loaded);
        QCOMPARE(list.keywords(), QStringList({u"REMIX"_s, u"LIVE"_s}));
    }

    void fileLocation()
    {
        QTemporaryDir dir;
        QCOMPARE(KeywordList::fileNameFor(dir.path(), u"/cfg"_s), dir.filePath(u"Keywords.txt"_s));
        QCOMPARE(KeywordList::fileNameFor(u"/nonexistent/bin"_s, u"/cfg"_s),
                 u"/cfg/twinsift/Keywords.txt"_s);
        if (::geteuid() != 0) {
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
            QCOMPARE(KeywordList::fileNameFor(dir.path(), u"/cfg"_s),
                     u"/cfg/twinsift/Keywords.txt"_s);
            QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
};

QTEST_GUILESS_MAIN(TestKeywords)
#include "tst_keywords.moc"
