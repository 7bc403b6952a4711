// SPDX-License-Identifier: MIT
// The command line's options, messages, statistics and exit statuses; reference.py checks
// its rows.
#include "hostilefiles.h"
#include "treebuilder.h"

#include <QProcess>
#include <QTest>

#include <csignal>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// `inChild` runs in the child before the program starts: limits, descriptors, signals.
Run cli(const QList<QByteArray> &args, const QByteArray &input = {}, bool asNobody = false,
        QString program = qEnvironmentVariable("TWINSIFT_CLI"),
        const std::function<void()> &inChild = {})
{
    QStringList arguments;
    if (asNobody) {
        arguments = {u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, program};
        program = u"setpriv"_s;
    }
    for (const QByteArray &arg : args)
        arguments.append(QFile::decodeName(arg));
    QProcess process;
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

// A listing whose pairs fill the row writer's 64 KiB buffer exactly with the last row, where
// the failure of a flush was once lost. The last three letters of a name are its extension
// key, so each pair is alike only with itself.
QByteArray pairsFillingTheBuffer()
{
    const QByteArray a(40, 'a'), b(40, 'b');
    QByteArray listing;
    qsizetype size = QByteArray("No.\tFile1\tFile2\tSimilarity(%)\n").size();
    for (int number = 1;; ++number) {
        const QByteArray name = "/report" + QByteArray::number(number + 99);
        const qsizetype row = QByteArray::number(number).size() + 2 * (a.size() + name.size()) + 7;
        const qsizetype left = (1 << 16) - size - row;
        if (left < 2 * row)
            return listing + QByteArray(left, 'x') + a + name + '\n' + b + name;
        listing += a + name + '\n' + b + name + '\n';
        size += row;
    }
}

// What stands around the program when it runs.
enum class Around { Nothing, FullDisk, UnreadPipe, ClosedOut, ClosedIn, FewFds, German };

} // namespace

Q_DECLARE_METATYPE(Around)

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(QFile::exists(qEnvironmentVariable("TWINSIFT_CLI"))); }

    void keywordsAndStatistics()
    {
        TreeBuilder tree;
        tree.files({"abcdef.txt", "Remix.mp3", "remix2.mp3", "kw/Keywords.txt"});
        QFile keywords(QFile::decodeName(tree.path("kw/Keywords.txt")));
        QVERIFY(keywords.open(QIODevice::WriteOnly) && keywords.write("REMIX\r\n") == 7);
        keywords.close();
        // The keyword leaves the remixes out of both; the listing's CR and empty line go.
        const QByteArray listing = tree.path("Remix.mp3") + "\r\n\nx/abcdefg.txt\nabcdef.txt";
        for (const QByteArray &from : {QByteArray(), QByteArray("-")}) {
            QList<QByteArray> args{"dups", "--stats", "--keywords", tree.path("kw/Keywords.txt")};
            args << (from.isEmpty() ? QList<QByteArray>{tree.root()} : QList{"--from"_ba, from});
            const Run run = cli(args, listing);
            QCOMPARE(run.status, 0);
            QCOMPARE(run.out,
                     "No.\tFile1\tFile2\tSimilarity(%)\n" +
                         QByteArray(from.isEmpty() ? "" : "1\tx/abcdefg.txt\tabcdef.txt\t91\n"));
            QCOMPARE(run.err,
                     "Total files = 2\nTotal comparisons = 1\nElapsed time in seconds - 0\n");
        }
    }

    void exitStatuses_data()
    {
        QTest::addColumn<QList<QByteArray>>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("message");
        const auto row = [](const char *name, QList<QByteArray> args, int status,
                            const char *message) {
            QTest::newRow(name) << args << status << QByteArray(message);
        };
        row("no command", {}, 2, "a command is needed");
        row("unknown command", {"find", "."}, 2, "unknown command 'find'");
        row("no folder", {"list"}, 2, "a folder is needed");
        row("empty folder", {"list", "."_ba, ""_ba}, 2, "a folder cannot be empty");
        row("empty folder after --", {"dups", "--", ""_ba}, 2, "a folder cannot be empty");
        row("bad format", {"list", "--format", "xml", "."}, 2, "--format takes");
        row("help as a value", {"list", "--format", "--help", "."}, 2, "not '--help'");
        row("help as a keyword file", {"dups", "--keywords", "-h", "."}, 1, "keyword file -h:");
        row("help after --", {"list", "--", "-h"}, 1, "cannot read folder -h");
        row("argument that Qt would take", {"list", ".", "-qmljsdebugger=x"}, 2,
            "unknown option '-qmljsdebugger' for list");
        row("short unknown option", {"dups", "-x", "."}, 2, "unknown option '-x' for dups");
        row("threshold too low", {"dups", "--threshold", "29", "."}, 2, "30 to 90");
        row("threshold not a number", {"dups", "--threshold=6O", "."}, 2, "30 to 90");
        for (const char *percent : {" 60", "+60", "060", "60\n"})
            row(percent, {"dups", "--threshold", percent, "."}, 2, "30 to 90");
        row("threshold without value", {"dups", ".", "--threshold"}, 2, "needs a value");
        row("threshold is for dups", {"list", "--threshold", "50", "."}, 2, "unknown option");
        row("stats with a value", {"dups", "--stats=1", "."}, 2, "--stats takes no value");
        row("two folders for dups", {"dups", ".", ".."}, 2, "one folder");
        row("null without from", {"dups", "--null", "."}, 2, "--null goes with --from");
        row("from and a folder", {"dups", "--from", "-", "."}, 2, "not both");
        row("content of a listing", {"dups", "--content", "--from", "-"}, 2, "--content reads");
        row("content with a value", {"dups", "--content=yes", "."}, 2, "takes no value");
        row("two listings", {"dups", "--from", "a", "--from", "b"}, 2, "--from takes one");
        row("empty listing name", {"dups", "--from", ""_ba}, 2, "--from needs a file name");
        row("empty keyword file name", {"dups", "--keywords=", "."}, 2, "--keywords needs a");
        row("missing folder", {"list", "/nonexistent/ts"}, 1, "folder /nonexistent/ts: No such");
        row("missing folder for dups", {"dups", "/nonexistent/ts"}, 1, "cannot read folder");
        row("missing keyword file", {"dups", "--keywords", "/nonexistent/k.txt", "."}, 1,
            "cannot read the keyword file /nonexistent/k.txt");
        row("missing listing", {"dups", "--from", "/nonexistent/l"}, 1,
            "the listing /nonexistent/l");
        row("listing is a folder", {"dups", "--from", "/"}, 1, "cannot read the listing /");
        // The command line of the program itself: arguments that end in NUL.
        row("binary listing", {"dups", "--from", "/proc/self/cmdline"}, 1, "NUL bytes, which");
        row("endless binary listing", {"dups", "--from", "/dev/zero"}, 1, "NUL bytes, which");
        row("help", {"dups", "--stats", "--help", "--", "x"}, 0, "");
    }
    void exitStatuses()
    {
        QFETCH(QList<QByteArray>, args);
        QFETCH(int, status);
        QFETCH(QByteArray, message);
        const Run run = cli(args);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QCOMPARE(run.out.startsWith("Usage:"), status == 0);
    }

    // A fifth column; without --content the rows are those of the four columns as they were.
    void contentColumn()
    {
        TreeBuilder tree;
        for (const auto &[name, bytes] : {std::pair("report.doc", "hello"),
                                          {"report (1).doc", "hello"},
                                          {"reports.doc", "world"},
                                          {"reportx.doc", "hello"}})
            QVERIFY(hostile::writeFile(QFile::decodeName(tree.path(name)), bytes));
        QVERIFY(::chmod(tree.root().constData(), 0755) == 0);
        QVERIFY(::chmod(tree.path("reportx.doc").constData(), 0600) == 0);
        const Run plain = cli({"dups", tree.root()}, {}, ::geteuid() == 0);
        const Run run = cli({"dups", "--content", tree.root()}, {}, ::geteuid() == 0);
        QCOMPARE(run.status, 0);
        QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.takeFirst(), "No.\tFile1\tFile2\tSimilarity(%)\tContent");
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[0], "1\t" + tree.path("report (1).doc") + '\t' + tree.path("report.doc") +
                               "\t100\tsame");
        QVERIFY(lines[1].endsWith("\tdifferent") && lines[5].endsWith("\tunreadable"));
        QByteArray four = "No.\tFile1\tFile2\tSimilarity(%)\n";
        for (const QByteArray &line : lines.first(6))
            four += line.left(line.lastIndexOf('\t')) + '\n';
        QCOMPARE(plain.out, four);
        QCOMPARE(run.err, "twinsift-cli: cannot compare the contents of " +
                              tree.path("reportx.doc") + ": unreadable: permission denied\n");
    }

    // Listings read from standard input, and runs where the output, the input or the
    // descriptors fail or the locale differs. TREE stands for a small tree.
    void runs_data()
    {
        QTest::addColumn<QList<QByteArray>>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<Around>("around");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("message");
        const QList<QByteArray> from{"dups", "--keywords", "/dev/null", "--from", "-"};
        const QByteArray header = "No.\tFile1\tFile2\tSimilarity(%)\n";
        const QByteArray folders = QByteArray(254, 'd').append('/').repeated(16);
        QByteArray pieces; // lines that a read of 64 KiB cuts, and one path again at the end
        for (int i = 1000; i < 2000; ++i)
            pieces += QByteArray(80, 'f') + "/ab" + QByteArray::number(i) + '\n';
        pieces += QByteArray(80, 'f') + "/ab1000";
        const auto row = [](const char *name, QList<QByteArray> args, QByteArray input,
                            Around around, int status, QByteArray out, const char *message) {
            QTest::newRow(name) << args << input << around << status << out << QByteArray(message);
        };
        row("path read twice", from, "/a/report.doc\n/a/report.doc\n/a/reports.doc\n./a/report.doc",
            Around::Nothing, 0,
            header + "1\t/a/report.doc\t/a/reports.doc\t91\n2\t/a/report.doc\t./a/report.doc\t100\n"
                     "3\t/a/reports.doc\t./a/report.doc\t91\n",
            "skipped 1 repeated path of the listing\n");
        row("read in pieces", from + QList<QByteArray>{"--stats", "--null"},
            pieces.replace('\n', '\0'), Around::Nothing, 0, header,
            "skipped 1 repeated path of the listing\nTotal files = 1000\n");
        row("longest path", from, folders + "0123456789ab.txt\r\n", Around::Nothing, 0, header, "");
        row("path too long", from, "x/ok.txt\n\n" + folders + "0123456789abc.txt\n",
            Around::Nothing, 1, {}, "line 3 of the listing - is longer than a path can be");
        row("path too long, unfinished", from, "x/ok.txt\n" + QByteArray(5000, 'a'),
            Around::Nothing, 1, {}, "line 2 of the listing - is longer");
        row("longest name", from + QList<QByteArray>{"--null"}, "d/" + QByteArray(255, 'a'),
            Around::Nothing, 0, header, "");
        row("name too long", from + QList<QByteArray>{"--null"},
            "x/ok.txt\0d/"_ba + QByteArray(256, 'a'), Around::Nothing, 1, {},
            "entry 2 of the listing - has a name longer than a name can be");
        row("a full buffer to a full disk", from, pairsFillingTheBuffer(), Around::FullDisk, 1, {},
            "cannot write the rows: No space left");
        row("a full buffer to a pipe no one reads", from, pairsFillingTheBuffer(),
            Around::UnreadPipe, 1, {}, "cannot write the rows: Broken pipe");
        QByteArray sameNames; // 44,850 pairs: rows formatted on several threads at once
        for (int i = 0; i < 300; ++i)
            sameNames += "/d" + QByteArray::number(i) + "/report.doc\n";
        row("many rows to a full disk", from, sameNames, Around::FullDisk, 1, {},
            "cannot write the rows: No space left");
        row("many rows to a pipe no one reads", from, sameNames, Around::UnreadPipe, 1, {},
            "cannot write the rows: Broken pipe");
        row("help to a full disk", {"--help"}, {}, Around::FullDisk, 1, {},
            "cannot write the help text: No space left");
        row("rows to a closed output", {"list", "TREE"}, {}, Around::ClosedOut, 1, {},
            "cannot write the rows: Bad file descriptor");
        row("listing from a closed input", from, {}, Around::ClosedIn, 1, {},
            "cannot read the listing -: Bad file descriptor");
        row("too few descriptors", {"list", "TREE"}, {}, Around::FewFds, 1, "\tsub.txt\t",
            "the listing is incomplete: 1 folder could not be opened");
        row("sizes in another locale", {"list", "--format", "csv", "TREE"}, {}, Around::German, 0,
            ",123.4 KB,", "");
    }
    void runs()
    {
        QFETCH(QList<QByteArray>, args);
        QFETCH(QByteArray, input);
        QFETCH(Around, around);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, message);
#ifdef __SANITIZE_ADDRESS__
        // The sanitizers probe memory through a pipe of their own, which five descriptors
        // leave no room for: they would report a fault that is not there.
        if (around == Around::FewFds)
            QSKIP("the sanitizers need descriptors of their own");
#endif
        TreeBuilder tree;
        tree.files({"size.bin=123456", "sub/x.txt", "sub.txt"});
        if (const qsizetype at = args.indexOf("TREE"); at >= 0)
            args[at] = tree.root();
        const auto inChild = [around] {
            int ends[2];
            if (around == Around::FullDisk)
                ::dup2(::open("/dev/full", O_WRONLY), STDOUT_FILENO);
            if (around == Around::UnreadPipe && ::pipe(ends) == 0) {
                ::signal(SIGPIPE, SIG_IGN);
                ::dup2(ends[1], STDOUT_FILENO);
                ::close(ends[0]);
            }
            if (around == Around::ClosedOut || around == Around::ClosedIn)
                ::close(around == Around::ClosedOut ? STDOUT_FILENO : STDIN_FILENO);
            if (around == Around::FewFds) {
                const rlimit few{5, 5};
                ::close_range(3, ~0U, 0); // whatever the test runner left open
                ::setrlimit(RLIMIT_NOFILE, &few);
            }
        };
        qputenv("LC_ALL", around == Around::German ? "de_DE.UTF-8" : "C.UTF-8");
        const Run run = cli(args, input, false, qEnvironmentVariable("TWINSIFT_CLI"), inChild);
        qputenv("LC_ALL", "C.UTF-8");
        QCOMPARE(run.status, status);
        QVERIFY2(run.out.contains(out), QByteArray(run.out.left(200) + run.err).constData());
        QVERIFY2(run.err.contains(message), run.err.constData());
    }

    void rowLongerThanTheBuffer()
    {
        // A path of 150 KB, deeper than PATH_MAX, makes one row far larger than the buffer
        // that rows are escaped into.
        TreeBuilder tree;
        const QByteArray deep = QByteArray(250, 'd').append('/').repeated(600) + "leaf.txt";
        tree.file(deep);
        const Run run = cli({"list", tree.root()});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains(QByteArray('\t' + tree.path(deep) + '\n')));
    }

    void unreadableDefaultKeywordFile()
    {
        // Beside a copy of the program, where it looks first, a folder stands for the file.
        TreeBuilder tree;
        tree.folder("bin/Keywords.txt");
        const QString copy = QFile::decodeName(tree.path("bin/twinsift-cli"));
        QVERIFY(QFile::copy(qEnvironmentVariable("TWINSIFT_CLI"), copy));
        const Run run = cli({"dups", tree.root()}, {}, false, copy);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(
                     QByteArray("cannot read the keyword file " + tree.path("bin/Keywords.txt"))),
                 run.err.constData());
    }

    void unreadableFolderInsideIsSkipped()
    {
        TreeBuilder tree;
        tree.files({"a.txt", "locked/b.txt", "z.txt"});
        QVERIFY(::chmod(tree.root().constData(), 0755) == 0);
        QVERIFY(::chmod(tree.path("locked").constData(), 0) == 0);
        // Permissions do not stop root, so run as nobody then.
        const Run run = cli({"list", tree.root()}, {}, ::geteuid() == 0);
        ::chmod(tree.path("locked").constData(), 0755);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out.count('\n'), 3);
        QVERIFY2(run.err.contains(QByteArray("skipped " + tree.path("locked/"))),
                 run.err.constData());
        QVERIFY(run.err.contains("skipped 1 entr") && !run.err.contains("1 entries"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
