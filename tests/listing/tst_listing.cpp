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

// The listing of `start` in the tree: "path" or "path=size" per row, relative to the tree, then
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
            out.append(row.path.mid(prefix) +
                       (row.size ? QByteArray('=' + QByteArray::number(row.size)) : QByteArray()));
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

// Text columns, and one row per "|"-separated text (bytes as Latin-1, so that any survive).
void table(const QList<const char *> &columns, std::initializer_list<const char *> rows)
{
    for (const char *column : columns)
        QTest::addColumn<QString>(column);
    for (const char *row : rows) {
        QTestData &data = QTest::newRow(row);
        for (const QString &cell : QString::fromLatin1(row).split(u'|'))
            data << cell;
    }
}

} // namespace

class TestListing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hash_data()
    {
        // Case, digits and spaces do not count; a fourth extension character counts half.
        table({"name", "value"},
              {"abc.txt|198", "report.doc|3036", "photo.jpeg|2442", "Report 2.doc|3036",
               "listen.txt|2607", "silent.txt|2607", "a.tx|0", "12.jpg|0", "a.txt|33", "|0"});
    }
    void hash()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QCOMPARE(filehash::hash(name), value);
    }

    void sizeText_data()
    {
        table({"bytes", "c", "german"},
              {"0|0|0", "999|999|999", "1000|1000|1000", "1001|1.001 KB|1,001 KB",
               "1500|1.5 KB|1,5 KB", "999999|999.9 KB|999,9 KB", "1000000|1000 KB|1000 KB",
               "1000001|1.000 MB|1,000 MB", "1234567|1.234 MB|1,234 MB", "15000000|15 MB|15 MB",
               "1234567890|1234. MB|1234, MB", "123456789000|12345 MB|12345 MB"});
    }
    void sizeText()
    {
        QFETCH(QString, bytes);
        QFETCH(QString, c);
        QFETCH(QString, german);
        QCOMPARE(twinsift::sizeText(bytes.toLongLong(), QLocale::c()), c);
        QCOMPARE(twinsift::sizeText(bytes.toLongLong(), QLocale(QLocale::German, QLocale::Germany)),
                 german);
    }

    void rawNamesRoundTrip_data()
    {
        // Utf-8, a Latin-1 byte, a truncated sequence, an overlong "/", a surrogate, an emoji,
        // byte order marks kept.
        table({"bytes", "length"}, {"report.doc|10",
                                    "\xC3\x9C"
                                    "ber.png|8",
                                    "caf\xE9.txt|8", "a\xE2\x82|3", "\xC0\xAF|2", "\xED\xA0\x80|3",
                                    "\xF0\x9F\x93\xB7.jpg|6", "\xEF\xBB\xBF\xFF.\xEF\xBB\xBF|4"});
    }
    void rawNamesRoundTrip()
    {
        QFETCH(QString, bytes); // one character per byte
        QFETCH(QString, length);
        const QString text = rawname::decode(bytes.toLatin1());
        QCOMPARE(text.size(), length.toLongLong());
        QCOMPARE(rawname::encode(text), bytes.toLatin1());
    }

    // Trees by the specs of TreeBuilder::files, and the rows that their listing gives. The
    // walk may stop after some rows, and may open only a few descriptors (-1: all but two
    // taken before it starts).
    void walk_data()
    {
        QTest::addColumn<QByteArray>("tree");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<int>("descriptors");
        const auto row = [](const char *tag, const QByteArray &tree, const QByteArray &start,
                            const QByteArray &rows, int stopAfter = 0, int descriptors = 0) {
            QTest::newRow(tag) << tree << start << rows << stopAfter << descriptors;
        };
        const QByteArray longest = QByteArray(251, 'n') + ".txt"; // the most a name holds
        // Case twins stay apart, ordered by their raw bytes; links to files count, others not.
        row("order and kinds",
            "b.txt A.txt a.txt Z.txt CASE.txt -dash .hidden.txt .hiddendir/secret.txt "
            "sub/deeper/x.txt sub/inner.txt=3 caf\xE9.txt=7 empty/ onlyfolders/a/b/ "
            "link.txt->sub/inner.txt broken.txt->missing loop->. up->.. pipe| " +
                longest + "=1",
            {},
            "-dash A.txt a.txt b.txt caf\xE9.txt=7 CASE.txt link.txt=3 " + longest +
                "=1 sub/deeper/x.txt sub/inner.txt=3 Z.txt");
        row("start without slash", "sub/a.txt b.txt", "sub", "sub/a.txt");
        row("start is a link to a folder", "real/a.txt ln->real", "ln", "ln/a.txt");
        row("missing start", "x", "gone", "!!gone/");
        row("start is a file, named without a slash", "a1/report.doc", "a1/report.doc",
            "!!a1/report.doc");
        row("stopped", "a/1 b/2 c/3 d/4 e/5", {}, "a/1 b/2 c/3 stopped", 3);
        // Wider than a 16-bit count; more folders than are ever read ahead at once; deeper
        // than PATH_MAX; 100 levels, each holding the next and a leaf folder.
        QByteArrayList wide, nested, nestedRows, levels, levelRows;
        for (int i = 100000; i < 140000; ++i)
            wide << "f" + QByteArray::number(i);
        for (int i = 1000; i < 1600; ++i) {
            const QByteArray d = "d" + QByteArray::number(i);
            nested << d + "/z.txt=2" << d + "/e/g.txt" << d + "/e/h/";
            nestedRows << d + "/e/g.txt" << d + "/z.txt=2";
        }
        for (QByteArray level; level.size() < 500; level += "deep/") {
            levels << level + "leaf/f.txt";
            levelRows.prepend(levels.back());
        }
        row("wide folder", wide.join(' '), {}, wide.join(' '));
        row("many folders", nested.join(' '), {}, nestedRows.join(' '));
        const QByteArray deep = QByteArray(20, 'd').append('/').repeated(1500) + "deep.txt=9 ";
        row("deep", deep + deep.left(21) + "near.txt", {}, deep + deep.left(21) + "near.txt");
        for (int descriptors : {10, 30, 60, -1})
            row(qPrintable(u"%1 descriptors"_s.arg(descriptors)), levels.join(' '), {},
                levelRows.join(' '), 0, descriptors);
    }
    void walk()
    {
        QFETCH(QByteArray, tree);
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, rows);
        QFETCH(int, stopAfter);
        QFETCH(int, descriptors);
        TreeBuilder builder;
        builder.files(tree.split(' '));
        rlimit old{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &old), 0);
        const rlimit low{descriptors > 0 ? rlim_t(descriptors) : 256, old.rlim_max};
        QVERIFY(descriptors == 0 || ::setrlimit(RLIMIT_NOFILE, &low) == 0);
        std::vector<int> taken;
        for (int fd; descriptors < 0 && (fd = ::open("/", O_RDONLY)) >= 0;)
            taken.push_back(fd);
        for (int i = 0; i < 2 && !taken.empty(); ++i, taken.pop_back())
            ::close(taken.back());
        std::stop_source stop;
        const QByteArrayList got = listed(builder, start, stop.get_token(), [&](auto &row) {
            if (row.number == quint64(7 + stopAfter))
                stop.request_stop();
        });
        for (int fd : taken)
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &old);
        QCOMPARE(got, rows.split(' '));
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
        QCOMPARE(rows.mid(0, 2), (QByteArrayList{"a.txt", "b/inner.txt"}));
        QVERIFY(rows.contains("e.txt") && !rows.contains("f.txt"));
        QCOMPARE(rows.contains("c/inner.txt"), !rows.contains("!c/"));
        QCOMPARE(rows.contains("d/inner.txt"), !rows.contains("!d"));
    }
};

QTEST_GUILESS_MAIN(TestListing)
#include "tst_listing.moc"
