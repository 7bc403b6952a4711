// SPDX-License-Identifier: MIT
#include "listing/filehash.h"
#include "listing/listing.h"
#include "listing/rawname.h"
#include "listing/sizetext.h"
#include "treebuilder.h"

#include <QTest>

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace twinsift;
using namespace Qt::StringLiterals;

namespace {

// The listing of `start` in the tree: "path" or "path=size" per row, relative to the tree, then
// "!path" per error ("!!path" when the start failed) and "stopped" when the walk stopped.
QByteArrayList listed(const TreeBuilder &tree, const QByteArray &start, int stopAfter = 0,
                      const std::function<void(const ListingRow &)> &each = {})
{
    RunningIndex index;
    index.store(7);
    std::stop_source stop;
    QByteArrayList out;
    const qsizetype prefix = tree.root().size() + 1;
    const WalkOutcome outcome = RecurseFiles2(
        tree.path(start), index,
        [&](ListingRow &&row) {
            QCOMPARE(row.number, quint64(8 + out.size()));
            QCOMPARE(row.hashText(), filehash::hash(rawname::decode(row.name())));
            // A row knows the entry itself (a link, not its target) and where the walk began.
            if (struct stat own{}; ::lstat(row.path.constData(), &own) == 0)
                QCOMPARE(row.identity, FileIdentity::of(own));
            QCOMPARE(row.path.left(row.rootLength), FolderWalker::folderPath(tree.path(start)));
            out.append(row.path.mid(prefix) +
                       (row.size ? QByteArray('=' + QByteArray::number(row.size)) : QByteArray()));
            if (out.size() == stopAfter)
                stop.request_stop();
            if (each)
                each(row);
        },
        stop.get_token());
    if (outcome.files != quint64(out.size()) || index.value() != 7 + outcome.files)
        out.append("miscounted");
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
    // Routine, input, expected. Hash: case, digits and spaces do not count; a fourth
    // extension character counts half. Size: in C and German. Raw names (any bytes, as
    // Latin-1) and their length decoded: UTF-8, a Latin-1 byte, a truncated sequence, an
    // overlong "/", a surrogate, an emoji, byte order marks kept.
    void texts()
    {
        const QStringList rows =
            QString::fromLatin1(
                "hash|abc.txt|198;hash|report.doc|3036;hash|photo.jpeg|2442;"
                "hash|Report 2.doc|3036;hash|listen.txt|2607;hash|silent.txt|2607;"
                "hash|a.tx|0;hash|12.jpg|0;hash|a.txt|33;hash||0;"
                "size|0|0/0;size|999|999/999;size|1000|1000/1000;size|1001|1.001 KB/1,001 KB;"
                "size|1500|1.5 KB/1,5 KB;size|999999|999.9 KB/999,9 KB;"
                "size|1000000|1000 KB/1000 KB;size|1000001|1.000 MB/1,000 MB;"
                "size|1234567|1.234 MB/1,234 MB;size|15000000|15 MB/15 MB;"
                "size|1234567890|1234. MB/1234, MB;size|123456789000|12345 MB/12345 MB;"
                "raw|report.doc|10;raw|\303\234ber.png|8;raw|caf\xE9.txt|8;raw|a\xE2\x82|3;"
                "raw|\xC0\xAF|2;raw|\xED\xA0\x80|3;raw|\xF0\x9F\x93\xB7.jpg|6;"
                "raw|\xEF\xBB\xBF\xFF.\xEF\xBB\xBF|4")
                .split(u';');
        for (const QString &row : rows) {
            const QStringList cell = row.split(u'|');
            const qint64 bytes = cell[1].toLongLong();
            const QString raw = rawname::decode(cell[1].toLatin1());
            const QString got =
                cell[0] == u"hash" ? filehash::hash(cell[1])
                : cell[0] == u"size"
                    ? QString(sizeText(bytes, QLocale::c()) + u'/' +
                              sizeText(bytes, QLocale(QLocale::German, QLocale::Germany)))
                    : QString(QString::number(raw.size()) +
                              (rawname::encode(raw) == cell[1].toLatin1() ? u"" : u"!"));
            QCOMPARE(cell[1] + u" -> " + got, cell[1] + u" -> " + cell[2]);
        }
    }

    // Trees by the entry patterns of TreeBuilder::files, and the rows that their listing gives. The
    // walk may stop after some rows, may open only a few descriptors (-1: all but three taken
    // before it starts), may be unable to start a thread (-2), may start threads with small
    // stacks (-3), or may run where openat2 is missing, as on older kernels and in some
    // sandboxes, with few descriptors (-4).
    void walk_data()
    {
        QTest::addColumn<QByteArray>("tree");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<int>("limit");
        const auto row = [](const char *tag, const QByteArray &tree, const QByteArray &start,
                            const QByteArray &rows, int stopAfter = 0, int limit = 0) {
            QTest::newRow(tag) << tree << start << rows << stopAfter << limit;
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
        QByteArrayList wide, nested, nestedRows, levels;
        for (int i = 100000; i < 140000; ++i)
            wide << "f" + QByteArray::number(i);
        for (int i = 1000; i < 1600; ++i) {
            const QByteArray d = "d" + QByteArray::number(i);
            nested << d + "/z.txt=2" << d + "/e/g.txt" << d + "/e/h/";
            nestedRows << d + "/e/g.txt" << d + "/z.txt=2";
        }
        // Deeper than PATH_MAX too, so that a folder far from an open ancestor is still found.
        for (QByteArray level; level.size() < 5000; level += QByteArray(45, 'd') + '/')
            levels << level + "leaf/f.txt";
        const QByteArrayList levelRows(levels.rbegin(), levels.rend());
        row("wide folder", wide.join(' '), {}, wide.join(' '));
        row("many folders", nested.join(' '), {}, nestedRows.join(' '));
        const QByteArray deep = QByteArray(20, 'd').append('/').repeated(1500) + "deep.txt=9 ";
        row("deep", deep + deep.left(21) + "near.txt", {}, deep + deep.left(21) + "near.txt");
        for (int limit : {10, 30, 60, -1, -2, -3, -4})
            row(qPrintable(u"limit %1"_s.arg(limit)), levels.join(' '), {}, levelRows.join(' '), 0,
                limit);
    }
    void walk()
    {
        QFETCH(QByteArray, tree);
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, rows);
        QFETCH(int, stopAfter);
        QFETCH(int, limit);
        TreeBuilder builder;
        builder.files(tree.split(' '));
        if (limit == -4)
            return withoutOpenat2(builder, rows.split(' '));
        const int resource = limit == -2 ? RLIMIT_NPROC : RLIMIT_NOFILE;
        rlimit old{};
        QCOMPARE(::getrlimit(resource, &old), 0);
        const rlimit low{limit > 0 ? rlim_t(limit) : limit == -2 ? 1 : 256, old.rlim_max};
        pthread_attr_t small, usual;
        QVERIFY(::pthread_getattr_default_np(&usual) == 0 && ::pthread_attr_init(&small) == 0);
        QVERIFY(::pthread_attr_setstacksize(&small, 36 * 1024) == 0);
        // Root starts threads whatever the limit; an ordinary user, who reads the tree, cannot.
        if (limit == -2 && ::geteuid() == 0 &&
            (::chmod(builder.root().constData(), 0755) != 0 || ::setresuid(65534, 65534, 0) != 0))
            QSKIP("cannot take an ordinary user's identity");
        const bool lowered = limit == -3  ? ::pthread_setattr_default_np(&small) == 0
                             : limit == 0 ? true
                                          : ::setrlimit(resource, &low) == 0;
        std::vector<int> taken;
        for (int fd; limit == -1 && (fd = ::open("/", O_RDONLY)) >= 0;)
            taken.push_back(fd);
        for (int i = 0; i < 3 && !taken.empty(); ++i, taken.pop_back())
            ::close(taken.back());
        const QByteArrayList got = lowered ? listed(builder, start, stopAfter) : QByteArrayList();
        for (int fd : taken)
            ::close(fd);
        ::setrlimit(resource, &old);
        ::pthread_setattr_default_np(&usual);
        QVERIFY(limit != -2 || ::getuid() != 65534 || ::setresuid(0, 0, 0) == 0);
        QVERIFY(lowered);
        QCOMPARE(got, rows.split(' '));
    }

    // In a child, since a system-call filter cannot be taken back.
    static void withoutOpenat2(const TreeBuilder &tree, const QByteArrayList &rows)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            sock_filter code[]{
                BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            };
            const sock_fprog filter{std::size(code), code};
            const rlimit few{16, 16};
            if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
                ::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &filter) != 0 ||
                ::setrlimit(RLIMIT_NOFILE, &few) != 0)
                ::_exit(77);
            ::alarm(60); // a walk that never ends fails
            ::_exit(listed(tree, {}) == rows ? 0 : 1);
        }
        int status = -1;
        QVERIFY(child > 0 && ::waitpid(child, &status, 0) == child);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
            QSKIP("cannot filter system calls here");
        QCOMPARE(status, 0);
    }

    void changesDuringTheWalk()
    {
        TreeBuilder tree;
        tree.files({"a.txt", "b/inner.txt", "c/inner.txt", "d/inner.txt", "e.txt"});
        const QByteArray change = "cd " + tree.root() + " && rm -r c d e.txt";
        const QByteArrayList rows = listed(tree, {}, 0, [&](const ListingRow &row) {
            // A folder vanishes, one becomes a file, a file vanishes, new entries appear.
            if (row.name() == "a.txt" && std::system(change.constData()) == 0)
                tree.files({"d", "b/new.txt", "f.txt"});
        });
        // Each folder stands as it was when read, at the latest when the walk entered it. A
        // folder removed between its opening and its reading reads as empty, with no error.
        QCOMPARE(rows.mid(0, 2), (QByteArrayList{"a.txt", "b/inner.txt"}));
        QVERIFY(rows.contains("e.txt") && !rows.contains("f.txt"));
        QVERIFY(!(rows.contains("c/inner.txt") && rows.contains("!c/")));
        QVERIFY(!(rows.contains("d/inner.txt") && rows.contains("!d")));
    }
};

QTEST_GUILESS_MAIN(TestListing)
#include "tst_listing.moc"
