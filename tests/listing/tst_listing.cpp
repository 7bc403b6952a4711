// SPDX-License-Identifier: MIT
#include "listing/filehash.h"
#include "listing/listing.h"
#include "listing/rawname.h"
#include "listing/sizetext.h"
#include "treebuilder.h"

#include <QTest>

using namespace twinsift;
using namespace Qt::StringLiterals;

namespace {

struct Walked {
    QList<QByteArray> files; // relative to the root, with their sizes
    WalkOutcome outcome;
};

Walked walk(const TreeBuilder &tree, std::stop_token stop = {})
{
    Walked w;
    const QByteArray prefix = tree.root() + '/';
    w.outcome = FolderWalker::walk(
        tree.root(),
        [&](const WalkedFile &f) {
            QVERIFY(f.path.startsWith(prefix));
            QCOMPARE(f.path.sliced(f.nameOffset - 1, 1), QByteArrayView("/"));
            w.files.append(f.path.sliced(prefix.size()).toByteArray() + ' ' +
                           QByteArray::number(f.size));
        },
        std::move(stop));
    return w;
}

} // namespace

class TestListing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hash_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("abc") << u"abc.txt"_s << u"198"_s;
        QTest::newRow("report") << u"report.doc"_s << u"3036"_s;
        QTest::newRow("long extension half counts") << u"photo.jpeg"_s << u"2442"_s;
        QTest::newRow("case digits spaces ignored") << u"Report 2.doc"_s << u"3036"_s;
        QTest::newRow("anagram listen") << u"listen.txt"_s << u"2607"_s;
        QTest::newRow("anagram silent") << u"silent.txt"_s << u"2607"_s;
        QTest::newRow("four characters") << u"a.tx"_s << u"0"_s;
        QTest::newRow("no letter") << u"12.jpg"_s << u"0"_s;
        QTest::newRow("one letter") << u"a.txt"_s << u"33"_s;
        QTest::newRow("empty") << QString() << u"0"_s;
    }
    void hash()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QCOMPARE(filehash::hash(name), value);
    }

    void sizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("c");
        QTest::addColumn<QString>("german");
        QTest::newRow("0") << qint64(0) << u"0"_s << u"0"_s;
        QTest::newRow("999") << qint64(999) << u"999"_s << u"999"_s;
        QTest::newRow("1000") << qint64(1000) << u"1000"_s << u"1000"_s;
        QTest::newRow("1001") << qint64(1001) << u"1.001 KB"_s << u"1,001 KB"_s;
        QTest::newRow("1500") << qint64(1500) << u"1.5 KB"_s << u"1,5 KB"_s;
        QTest::newRow("999999") << qint64(999999) << u"999.9 KB"_s << u"999,9 KB"_s;
        QTest::newRow("1000000") << qint64(1000000) << u"1000 KB"_s << u"1000 KB"_s;
        QTest::newRow("1000001") << qint64(1000001) << u"1.000 MB"_s << u"1,000 MB"_s;
        QTest::newRow("1234567") << qint64(1234567) << u"1.234 MB"_s << u"1,234 MB"_s;
        QTest::newRow("15000000") << qint64(15000000) << u"15 MB"_s << u"15 MB"_s;
        QTest::newRow("separator stays fifth")
            << qint64(1234567890) << u"1234. MB"_s << u"1234, MB"_s;
        QTest::newRow("no grouping") << qint64(123456789000) << u"12345 MB"_s << u"12345 MB"_s;
    }
    void sizeText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, c);
        QFETCH(QString, german);
        QCOMPARE(twinsift::sizeText(bytes, QLocale::c()), c);
        QCOMPARE(twinsift::sizeText(bytes, QLocale(QLocale::German, QLocale::Germany)), german);
    }

    void rawNamesRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("length");
        QTest::newRow("ascii") << QByteArray("report.doc") << 10;
        QTest::newRow("utf-8") << QByteArray("\xC3\x9C"
                                             "ber.png")
                               << 8;
        QTest::newRow("latin-1 byte") << QByteArray("caf\xE9.txt") << 8;
        QTest::newRow("truncated sequence") << QByteArray("a\xE2\x82") << 3;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << 2;
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << 3;
        QTest::newRow("astral") << QByteArray("\xF0\x9F\x93\xB7.jpg") << 6;
        QTest::newRow("byte order mark kept") << QByteArray("\xEF\xBB\xBF\xFF.\xEF\xBB\xBF") << 4;
    }
    void rawNamesRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, length);
        const QString text = rawname::decode(bytes);
        QCOMPARE(text.size(), length);
        QCOMPARE(rawname::encode(text), bytes);
    }

    void walkOrderAndKinds()
    {
        TreeBuilder tree;
        for (const char *name : {"b.txt", "A.txt", "a.txt", "Z.txt", "CASE.txt", "-dash",
                                 ".hidden.txt", ".hiddendir/secret.txt", "sub/deeper/x.txt"})
            tree.file(name);
        tree.file("sub/inner.txt", 3);
        tree.file("caf\xE9.txt", 7);
        const QByteArray longest =
            QByteArray(251, 'n') + ".txt"; // 255 bytes, the most a name holds
        tree.file(longest, 1);
        tree.folder("empty");
        tree.folder("onlyfolders/a/b");
        tree.link("link.txt", "sub/inner.txt");
        tree.link("broken.txt", "missing");
        tree.link("loop", ".");
        tree.link("up", "..");
        QCOMPARE(::mkfifo(tree.path("pipe").constData(), 0600), 0);
        const Walked w = walk(tree);
        QVERIFY(w.outcome.errors.empty());
        // Case twins stay apart, ordered by their raw bytes; links to files count, others not.
        QCOMPARE(w.files,
                 (QList<QByteArray>{"-dash 0", "A.txt 0", "a.txt 0", "b.txt 0", "caf\xE9.txt 7",
                                    "CASE.txt 0", "link.txt 3", longest + " 1",
                                    "sub/deeper/x.txt 0", "sub/inner.txt 3", "Z.txt 0"}));
        QCOMPARE(w.outcome.files, 11u);
    }

    void veryDeepTree()
    {
        TreeBuilder tree;
        const QByteArray name(20, 'd');
        const int deepest = tree.deepChain(name, 1500);
        QVERIFY(deepest >= 0);
        const int file = ::openat(deepest, "deep.txt", O_CREAT | O_WRONLY, 0644);
        QVERIFY(file >= 0);
        QCOMPARE(::write(file, "123456789", 9), 9);
        ::close(file);
        ::close(deepest);
        tree.file(name + "/side/near.txt");
        const Walked w = walk(tree);
        QVERIFY2(w.outcome.errors.empty(),
                 w.outcome.errors.empty() ? "" : qPrintable(w.outcome.errors.front().reason));
        QCOMPARE(w.files.size(), 2);
        QVERIFY(w.files.first().endsWith("/deep.txt 9"));
        QVERIFY(w.files.first().size() > 30000); // far beyond PATH_MAX
        QCOMPARE(w.files.last(), name + "/side/near.txt 0");
        QCOMPARE(w.outcome.folders, 3001u);
    }

    void hugeFolder()
    {
        // Far beyond what a 16-bit entry counter could hold.
        TreeBuilder tree;
        const int dir = ::open(tree.root().constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < 200000; ++i)
            ::close(::openat(dir, QByteArray("f" + QByteArray::number(i + 1000000)).constData(),
                             O_CREAT | O_WRONLY, 0644));
        ::close(dir);
        QByteArray last;
        const WalkOutcome outcome = FolderWalker::walk(
            tree.root(), [&](const WalkedFile &f) { last = f.name().toByteArray(); });
        QCOMPARE(outcome.files, 200000u);
        QCOMPARE(last, QByteArray("f1199999"));
    }

    void entriesChangingMidWalk()
    {
        TreeBuilder tree;
        for (const char *name : {"a.txt", "b/inner.txt", "c/inner.txt", "d/inner.txt", "e.txt"})
            tree.file(name);
        QList<QByteArray> seen;
        const WalkOutcome outcome = FolderWalker::walk(tree.root(), [&](const WalkedFile &f) {
            seen.append(f.path.sliced(tree.root().size() + 1).toByteArray());
            if (f.name() == "a.txt") {
                // A folder vanishes, one becomes a file, a file vanishes, new entries appear.
                QProcess::execute(u"rm"_s, {u"-r"_s, QFile::decodeName(tree.path("c")),
                                            QFile::decodeName(tree.path("d"))});
                tree.file("d");
                ::unlink(tree.path("e.txt").constData());
                tree.file("b/new.txt");
                tree.file("f.txt");
            }
        });
        // What was read stands; a folder is read when it is entered.
        QCOMPARE(seen, (QList<QByteArray>{"a.txt", "b/inner.txt", "b/new.txt", "e.txt"}));
        QCOMPARE(outcome.errors.size(), size_t(2));
        QCOMPARE(outcome.errors[0].path, tree.path("c/"));
        QCOMPARE(outcome.errors[1].path, tree.path("d/"));
        QVERIFY(!outcome.rootFailed);
    }

    void missingRootFails()
    {
        const WalkOutcome outcome =
            FolderWalker::walk("/nonexistent/twinsift", [](const WalkedFile &) {});
        QVERIFY(outcome.rootFailed);
        QCOMPARE(outcome.errors.size(), size_t(1));
        QCOMPARE(outcome.errors.front().path, QByteArray("/nonexistent/twinsift/"));
    }

    void stopEndsTheWalk()
    {
        TreeBuilder tree;
        for (int i = 0; i < 20; ++i)
            tree.file("f" + QByteArray::number(i) + ".txt");
        std::stop_source stop;
        int seen = 0;
        const WalkOutcome outcome = FolderWalker::walk(
            tree.root(),
            [&](const WalkedFile &) {
                if (++seen == 3)
                    stop.request_stop();
            },
            stop.get_token());
        QVERIFY(outcome.stopped);
        QCOMPARE(seen, 3);
    }

    void listingNumbersOn()
    {
        TreeBuilder tree;
        tree.file("abc.txt", 1500);
        tree.file("sub/report.doc");
        RunningIndex index;
        QList<ListingRow> rows;
        for (const QByteArray &root : {tree.root(), QByteArray(tree.root() + '/')})
            RecurseFiles2(root, index, [&](ListingRow &&row) { rows.append(std::move(row)); });
        QCOMPARE(rows.size(), 4);
        QCOMPARE(index.value(), 4u);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(rows[i].number, quint64(i + 1));
        QCOMPARE(rows[0].filenameText(), u"abc.txt"_s);
        QCOMPARE(rows[0].sizeText(QLocale::c()), u"1.5 KB"_s);
        QCOMPARE(rows[0].hashText(), u"198"_s);
        QCOMPARE(rows[0].path, tree.root() + "/abc.txt");
        QCOMPARE(rows[3].path, tree.root() + "/sub/report.doc"); // no doubled "/"
    }
};

QTEST_GUILESS_MAIN(TestListing)
#include "tst_listing.moc"
