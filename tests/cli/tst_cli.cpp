// SPDX-License-Identifier: MIT
// The command line's options, messages, statistics and exit statuses; reference.py checks
// its rows.
#include "hostilefiles.h"
#include "treebuilder.h"

#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QList<QByteArray> &args, const QByteArray &input = {}, bool asNobody = false,
        QString program = qEnvironmentVariable("TWINSIFT_CLI"))
{
    QStringList arguments;
    if (asNobody) {
        arguments = {u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, program};
        program = u"setpriv"_s;
    }
    for (const QByteArray &arg : args)
        arguments.append(QFile::decodeName(arg));
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace

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
        row("argument that Qt would take", {"list", ".", "-qmljsdebugger=x"}, 1,
            "-qmljsdebugger=x");
        row("threshold too low", {"dups", "--threshold", "29", "."}, 2, "30 to 90");
        row("threshold not a number", {"dups", "--threshold=6O", "."}, 2, "30 to 90");
        row("threshold without value", {"dups", ".", "--threshold"}, 2, "needs a value");
        row("threshold is for dups", {"list", "--threshold", "50", "."}, 2, "unknown option");
        row("stats with a value", {"dups", "--stats=1", "."}, 2, "--stats takes no value");
        row("two folders for dups", {"dups", ".", ".."}, 2, "one folder");
        row("null without from", {"dups", "--null", "."}, 2, "--null goes with --from");
        row("from and a folder", {"dups", "--from", "-", "."}, 2, "not both");
        row("content of a listing", {"dups", "--content", "--from", "-"}, 2, "--content reads");
        row("content with a value", {"dups", "--content=yes", "."}, 2, "takes no value");
        row("missing folder", {"list", "/nonexistent/ts"}, 1, "cannot read folder /nonexistent/ts");
        row("missing folder for dups", {"dups", "/nonexistent/ts"}, 1, "cannot read folder");
        row("missing keyword file", {"dups", "--keywords", "/nonexistent/k.txt", "."}, 1,
            "cannot read the keyword file /nonexistent/k.txt");
        row("missing listing", {"dups", "--from", "/nonexistent/l"}, 1,
            "the listing /nonexistent/l");
        row("listing is a folder", {"dups", "--from", "/"}, 1, "cannot read the listing /");
        // The command line of the program itself: arguments that end in NUL.
        row("binary listing", {"dups", "--from", "/proc/self/cmdline"}, 1, "NUL bytes, which");
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
