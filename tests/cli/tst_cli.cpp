// SPDX-License-Identifier: MIT
// The command line end to end: what scripts see on standard output, standard error and in
// the exit status.
#include "treebuilder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QList<QByteArray> &args, const QByteArray &lang = "C.UTF-8", bool asNobody = false)
{
    QStringList arguments;
    QString program = qEnvironmentVariable("TWINSIFT_CLI");
    if (asNobody) {
        arguments =
            QStringList{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, program};
        program = u"setpriv"_s;
    }
    for (const QByteArray &arg : args)
        arguments.append(QFile::decodeName(arg));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LC_ALL"_s, QString::fromLatin1(lang));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
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

    void listNumbersOnAcrossFolders()
    {
        TreeBuilder tree;
        tree.file("one/abc.txt", 1500);
        tree.file("two/report.doc", 12);
        const Run run = cli({"list", tree.path("one"), tree.path("two") + '/'});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, "No.\tFilename\tSize\tHash\tPath\n"
                          "1\tabc.txt\t1.5 KB\t198\t" +
                              tree.path("one/abc.txt") +
                              "\n"
                              "2\treport.doc\t12\t3036\t" +
                              tree.path("two/report.doc") + "\n");
        QVERIFY(run.err.isEmpty());
    }

    void sizeTextFollowsLocale()
    {
        TreeBuilder tree;
        tree.file("abc.txt", 1500);
        const Run run = cli({"list", "--format", "csv", tree.root()}, "de_DE.UTF-8");
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(",\"1,5 KB\","), run.out.constData());
    }

    void awkwardNamesInEachFormat()
    {
        TreeBuilder tree;
        tree.files({"tab\there.txt", "line\nfeed.txt", "quote\"comma,.txt", "back\\slash.txt",
                    "caf\xE9.txt", "-dash.txt"});

        const Run tsv = cli({"list", tree.root()});
        QCOMPARE(tsv.status, 0);
        QList<QByteArray> names;
        for (const QByteArray &line : tsv.out.split('\n').mid(1, 6))
            names.append(line.split('\t').value(1));
        QCOMPARE(names,
                 (QList<QByteArray>{"-dash.txt", "back\\\\slash.txt", "caf\xE9.txt",
                                    "line\\nfeed.txt", "quote\"comma,.txt", "tab\\there.txt"}));

        const Run csv = cli({"list", "--format=csv", tree.root()});
        QCOMPARE(csv.status, 0);
        QVERIFY(csv.out.startsWith("No.,Filename,Size,Hash,Path\r\n"));
        QVERIFY(csv.out.contains("\r\n5,\"quote\"\"comma,.txt\",0,"));
        QVERIFY(csv.out.contains("\r\n4,\"line\nfeed.txt\",0,"));
        QVERIFY(csv.out.contains("\r\n3,caf\xE9.txt,0,"));

        const Run jsonl = cli({"list", "--format", "jsonl", tree.root()});
        QCOMPARE(jsonl.status, 0);
        const QList<QByteArray> lines = jsonl.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 7);
        QCOMPARE(QJsonDocument::fromJson(lines[0]).array(),
                 QJsonArray({u"No."_s, u"Filename"_s, u"Size"_s, u"Hash"_s, u"Path"_s}));
        QStringList decoded;
        for (const QByteArray &line : lines.mid(1)) {
            QJsonParseError error{};
            const QJsonObject row = QJsonDocument::fromJson(line, &error).object();
            QCOMPARE(error.error, QJsonParseError::NoError);
            decoded.append(row[u"Filename"_s].toString());
            QCOMPARE(row[u"No."_s].toInt(), int(decoded.size()));
        }
        QCOMPARE(decoded[3], u"line\nfeed.txt"_s);
        QCOMPARE(decoded[4], u"quote\"comma,.txt"_s);
        // The byte that is not UTF-8 stays recoverable as an escaped lone surrogate.
        QVERIFY(lines[3].contains("\"Filename\":\"caf\\udce9.txt\""));
    }

    void dupsThresholdAndKeywords()
    {
        TreeBuilder tree;
        tree.files({"abcdef.txt", "abcdxy.txt", "Remix.mp3", "remix2.mp3"});
        const Run at60 = cli({"dups", tree.root()});
        QCOMPARE(at60.status, 0);
        QCOMPARE(at60.out.count('\n'), 2); // the header and the two remixes
        QVERIFY(at60.out.contains(QByteArray("Remix.mp3\t" + tree.path("remix2.mp3") + "\t100\n")));

        const Run at59 = cli({"dups", "--threshold", "59", tree.root()});
        QVERIFY(at59.out.startsWith(QByteArray("No.\tFile1\tFile2\tSimilarity(%)\n1\t" +
                                               tree.path("abcdef.txt") + '\t' +
                                               tree.path("abcdxy.txt") + "\t60\n2\t")));

        tree.file("kw/Keywords.txt");
        QFile keywords(QFile::decodeName(tree.path("kw/Keywords.txt")));
        QVERIFY(keywords.open(QIODevice::WriteOnly));
        keywords.write("REMIX\r\n");
        keywords.close();
        const Run excluded =
            cli({"dups", "--stats", "--keywords", tree.path("kw/Keywords.txt"), tree.root()});
        QCOMPARE(excluded.status, 0);
        QCOMPARE(excluded.out, "No.\tFile1\tFile2\tSimilarity(%)\n");
        QCOMPARE(excluded.err,
                 "Total files = 3\nTotal comparisons = 3\nElapsed time in seconds - 0\n");
    }

    void exitStatuses_data()
    {
        QTest::addColumn<QList<QByteArray>>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("no command")
            << QList<QByteArray>{} << 2 << QByteArray("a command is needed");
        QTest::newRow("unknown command")
            << QList<QByteArray>{"find", "."} << 2 << QByteArray("unknown command");
        QTest::newRow("no folder")
            << QList<QByteArray>{"list"} << 2 << QByteArray("a folder is needed");
        QTest::newRow("bad format")
            << QList<QByteArray>{"list", "--format", "xml", "."} << 2 << QByteArray("--format");
        QTest::newRow("threshold too low")
            << QList<QByteArray>{"dups", "--threshold", "29", "."} << 2 << QByteArray("30 to 90");
        QTest::newRow("threshold not a number")
            << QList<QByteArray>{"dups", "--threshold=6O", "."} << 2 << QByteArray("30 to 90");
        QTest::newRow("threshold without value")
            << QList<QByteArray>{"dups", ".", "--threshold"} << 2 << QByteArray("needs a value");
        QTest::newRow("threshold is for dups")
            << QList<QByteArray>{"list", "--threshold", "50", "."} << 2
            << QByteArray("unknown option");
        QTest::newRow("two folders for dups")
            << QList<QByteArray>{"dups", ".", ".."} << 2 << QByteArray("one folder");
        QTest::newRow("missing folder") << QList<QByteArray>{"list", "/nonexistent/twinsift"} << 1
                                        << QByteArray("cannot read folder /nonexistent/twinsift/");
        QTest::newRow("missing folder for dups")
            << QList<QByteArray>{"dups", "/nonexistent/twinsift"} << 1
            << QByteArray("cannot read folder");
        QTest::newRow("missing keyword file")
            << QList<QByteArray>{"dups", "--keywords", "/nonexistent/k.txt", "."} << 1
            << QByteArray("cannot read the keyword file");
        QTest::newRow("help") << QList<QByteArray>{"dups", "--help"} << 0 << QByteArray();
    }
    void exitStatuses()
    {
        QFETCH(QList<QByteArray>, args);
        QFETCH(int, status);
        QFETCH(QByteArray, message);
        const Run run = cli(args);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), run.err.constData());
        if (status == 0)
            QVERIFY(run.out.startsWith("Usage:"));
    }

    void unreadableFolderInsideIsSkipped()
    {
        TreeBuilder tree;
        tree.files({"a.txt", "locked/b.txt", "z.txt"});
        QVERIFY(::chmod(tree.root().constData(), 0755) == 0);
        QVERIFY(::chmod(tree.path("locked").constData(), 0) == 0);
        // Permissions do not stop root, so run as nobody then.
        const Run run = cli({"list", tree.root()}, "C.UTF-8", ::geteuid() == 0);
        ::chmod(tree.path("locked").constData(), 0755);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out.count('\n'), 3);
        QVERIFY2(run.err.contains(QByteArray("skipped " + tree.path("locked/"))),
                 run.err.constData());
        QVERIFY(run.err.contains("1 entries could not be read"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
