// SPDX-License-Identifier: MIT
#include "listing/filehash.h"
#include "listing/listing.h"
#include "listing/rawname.h"
#include "listing/sizetext.h"
#include "treebuilder.h"

#include <QTest>

#include <sys/resource.h>

using namespace twinsift;
using namespace Qt::StringLiterals;

namespace {

// The listing of `start` in the tree: "path size" per row, relative to the tree, then
// "!path" per error ("!!path" when the start failed) and "stopped" when the walk stopped.
QByteArrayList listed(const TreeBuilder &tree, const QByteArray &start, std::stop_token stop = {},
                      const std::function<void(const ListingRow &)> &each = {})
{
    RunningIndex index;
    index.store(7);
    WalkProgress progress;
    QByteArrayList out;
    const qsizetype prefix = tree.root().size() + 1;
    const WalkOutcome outcome = RecurseFiles2(
        tree.path(start), index,
        [&](ListingRow &&row) {
            QCOMPARE(row.number, quint64(8 + out.size()));
            QCOMPARE(row.hashText(), filehash::hash(rawname::decode(row.name())));
            out.append(row.path.mid(prefix) + ' ' + QByteArray::number(row.size));
            if (each)
                each(row);
        },
        std::move(stop), &progress);
    [&] {
        QCOMPARE(outcome.files, quint64(out.size()));
        QCOMPARE(progress.files.load(), outcome.files);
        QCOMPARE(index.value(), 7 + outcome.files);
    }();
    for (const WalkError &error : outcome.errors)
        out.append((outcome.rootFailed ? "!!" : "!") + error.path.mid(prefix));
    if (outcome.stopped)
        out.append("stopped");
    return out;
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
    }
    void rawNamesRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, length);
        const QString text = rawname::decode(bytes);
        QCOMPARE(text.size(), length);
        QCOMPARE(rawname::encode(text), bytes);
    }

    void walk_data()
    {
        QTest::addColumn<QByteArrayList>("tree");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArrayList>("rows");
        const QByteArray longest = QByteArray(251, 'n') + ".txt"; // the most a name holds
        // Case twins stay apart, ordered by their raw bytes; links to files count, others not.
        QTest::newRow("order and kinds")
            << QByteArrayList{"b.txt",
                              "A.txt",
                              "a.txt",
                              "Z.txt",
                              "CASE.txt",
                              "-dash",
                              ".hidden.txt",
                              ".hiddendir/secret.txt",
                              "sub/deeper/x.txt",
                              "sub/inner.txt=3",
                              "caf\xE9.txt=7",
                              longest + "=1",
                              "empty/",
                              "onlyfolders/a/b/",
                              "link.txt->sub/inner.txt",
                              "broken.txt->missing",
                              "loop->.",
                              "up->..",
                              "pipe|"}
            << QByteArray()
            << QByteArrayList{"-dash 0",         "A.txt 0",       "a.txt 0",
                              "b.txt 0",         "caf\xE9.txt 7", "CASE.txt 0",
                              "link.txt 3",      longest + " 1",  "sub/deeper/x.txt 0",
                              "sub/inner.txt 3", "Z.txt 0"};
        QTest::newRow("start without slash") << QByteArrayList{"sub/a.txt", "b.txt"}
                                             << QByteArray("sub") << QByteArrayList{"sub/a.txt 0"};
        QTest::newRow("start is a link to a folder")
            << QByteArrayList{"real/a.txt", "ln->real"} << QByteArray("ln")
            << QByteArrayList{"ln/a.txt 0"};
        QTest::newRow("missing start")
            << QByteArrayList{} << QByteArray("gone") << QByteArrayList{"!!gone/"};
        QTest::newRow("start is a file, named without a slash")
            << QByteArrayList{"a1/report.doc"} << QByteArray("a1/report.doc")
            << QByteArrayList{"!!a1/report.doc"};
        // Wider than a 16-bit count, and more folders than are ever read ahead at once.
        QByteArrayList wide, wideRows, nested, nestedRows;
        for (int i = 100000; i < 140000; ++i) {
            wide << "f" + QByteArray::number(i);
            wideRows << wide.back() + " 0";
        }
        for (int i = 1000; i < 1600; ++i) {
            const QByteArray d = "d" + QByteArray::number(i);
            nested << d + "/z.txt=2" << d + "/e/g.txt" << d + "/e/h/";
            nestedRows << d + "/e/g.txt 0" << d + "/z.txt 2";
        }
        QTest::newRow("wide folder") << wide << QByteArray() << wideRows;
        QTest::newRow("many folders") << nested << QByteArray() << nestedRows;
    }
    void walk()
    {
        QFETCH(QByteArrayList, tree);
        QFETCH(QByteArray, start);
        QFETCH(QByteArrayList, rows);
        TreeBuilder builder;
        builder.files(tree);
        QCOMPARE(listed(builder, start), rows);
    }

    void veryDeepTree()
    {
        TreeBuilder tree;
        const QByteArray name(20, 'd');
        const int deepest = tree.deepChain(name, 1500);
        const int file = ::openat(deepest, "deep.txt", O_CREAT | O_WRONLY, 0644);
        QVERIFY(::ftruncate(file, 9) == 0);
        ::close(file);
        ::close(deepest);
        tree.files({name + "/side/near.txt"});
        const QByteArrayList rows = listed(tree, {});
        QCOMPARE(rows.size(), 2);
        QVERIFY(rows.first().endsWith("/deep.txt 9"));
        QVERIFY(rows.first().size() > 30000); // far beyond PATH_MAX
        QCOMPARE(rows.last(), name + "/side/near.txt 0");
    }

    // 100 levels, each holding the next level and a leaf folder with a file: no row may be
    // lost however few descriptors the process may open, or has left (limit 0: two).
    void fewDescriptors_data()
    {
        QTest::addColumn<int>("limit");
        QTest::newRow("ulimit -n 10, no room to read ahead") << 10;
        QTest::newRow("ulimit -n 30") << 30;
        QTest::newRow("ulimit -n 60") << 60;
        QTest::newRow("all but two taken") << 0;
    }
    void fewDescriptors()
    {
        QFETCH(int, limit);
        TreeBuilder tree;
        QByteArrayList expected;
        for (QByteArray level; level.size() < 500; level += "deep/") {
            tree.files({level + "leaf/f.txt"});
            expected.prepend(level + "leaf/f.txt 0");
        }
        rlimit old{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &old), 0);
        rlimit low = old;
        low.rlim_cur = rlim_t(limit ? limit : 256);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &low), 0);
        std::vector<int> taken;
        for (int fd; limit == 0 && (fd = ::open("/", O_RDONLY)) >= 0;)
            taken.push_back(fd);
        for (int i = 0; i < 2 && !taken.empty(); ++i, taken.pop_back())
            ::close(taken.back());
        const QByteArrayList rows = listed(tree, {});
        for (int fd : taken)
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &old);
        QCOMPARE(rows, expected);
    }

    void changesDuringTheWalk()
    {
        TreeBuilder tree;
        tree.files({"a.txt", "b/inner.txt", "c/inner.txt", "d/inner.txt", "e.txt"});
        const QByteArrayList rows = listed(tree, {}, {}, [&](const ListingRow &row) {
            if (row.name() != "a.txt")
                return;
            // A folder vanishes, one becomes a file, a file vanishes, new entries appear.
            QProcess::execute(u"rm"_s, {u"-r"_s, QFile::decodeName(tree.path("c")),
                                        QFile::decodeName(tree.path("d"))});
            tree.files({"d", "b/new.txt", "f.txt"});
            ::unlink(tree.path("e.txt").constData());
        });
        // Each folder stands as it was when read, at the latest when the walk entered it.
        QCOMPARE(rows.mid(0, 2), (QByteArrayList{"a.txt 0", "b/inner.txt 0"}));
        QVERIFY(rows.contains("e.txt 0") && !rows.contains("f.txt 0"));
        QCOMPARE(rows.contains("c/inner.txt 0"), !rows.contains("!c/"));
        QCOMPARE(rows.contains("d/inner.txt 0"), !rows.contains("!d"));
    }

    void stopEndsTheWalk()
    {
        TreeBuilder tree;
        for (int i = 10; i < 30; ++i)
            tree.files({"d" + QByteArray::number(i) + "/f.txt"});
        std::stop_source stop;
        const QByteArrayList rows = listed(tree, {}, stop.get_token(), [&](const ListingRow &row) {
            if (row.number == 10)
                stop.request_stop();
        });
        QCOMPARE(rows, (QByteArrayList{"d10/f.txt 0", "d11/f.txt 0", "d12/f.txt 0", "stopped"}));
    }
};

QTEST_GUILESS_MAIN(TestListing)
#include "tst_listing.moc"
