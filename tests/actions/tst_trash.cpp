// SPDX-License-Identifier: MIT
// The trash and the restore of a deletion, in a home trash of the test's own and, as root, on
// a volume of its own; the tick rules on one table of pairs, and their safety on many.

#include "actions/restore.h"
#include "actions/tickrules.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace twinsift;
using namespace Qt::StringLiterals;

namespace {

void put(const QByteArray &path, const QByteArray &content, time_t mtime = 1'000'000'000)
{
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    QVERIFY(fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) >= 0);
    const timespec times[2] = {{mtime, 0}, {mtime, 0}};
    QVERIFY(::futimens(fd, times) == 0 && ::close(fd) == 0);
}

// The content and modification time of a file, or "none".
QByteArray look(const QByteArray &path)
{
    struct stat info {};
    QByteArray content(64, '\0');
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0 || ::fstat(fd, &info) != 0)
        return "none";
    content.truncate(::read(fd, content.data(), 64));
    ::close(fd);
    return content + '@' + QByteArray::number(qint64(info.st_mtime));
}

// How often trash-cli lists `path` (as it shows it) as trashed; -1 where it is not installed.
int listed(const QByteArray &path)
{
    if (QStandardPaths::findExecutable(u"trash-list"_s).isEmpty())
        return -1;
    QProcess list;
    list.start(u"trash-list"_s, {});
    list.waitForFinished();
    return int(list.readAllStandardOutput().count(
        QByteArray(' ' + QString::fromUtf8(path).toUtf8() + '\n')));
}

} // namespace

class TestTrash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"data"_s)));
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QVERIFY(QDir(m_home.path()).mkpath(u"tree"_s) && QDir(m_home.path()).mkpath(u"volume"_s));
        // A volume of its own as root; trashing there makes the volume's own trash.
        const QByteArray image = QFile::encodeName(m_home.filePath(u"ext4.img"_s));
        m_mounted = ::getuid() == 0 && QFile(QFile::decodeName(image)).open(QIODevice::WriteOnly) &&
                    ::truncate(image.constData(), 8 << 20) == 0 &&
                    QProcess::execute(u"mkfs.ext4"_s, {u"-qF"_s, QFile::decodeName(image)}) == 0 &&
                    QProcess::execute(u"mount"_s, {u"-o"_s, u"loop"_s, QFile::decodeName(image),
                                                   m_home.filePath(u"volume"_s)}) == 0;
    }
    void cleanupTestCase()
    {
        QVERIFY(!m_mounted || ::umount(QFile::encodeName(m_home.filePath(u"volume"_s))) == 0);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("volume");
        QTest::newRow("plain") << "report.doc"_ba << false;
        QTest::newRow("a 255-byte name") << QByteArray(251, 'n') + ".doc" << false;
        QTest::newRow("255 bytes of two-byte letters")
            << QString(127, u'\u00e9').toUtf8() + "x" << false;
        QTest::newRow("not UTF-8") << "caf\xe9 %.txt"_ba << false;
        QTest::newRow("on a volume of its own") << "report.doc"_ba << true;
    }

    // Two files of one name go to the trash and are listed there by their real path. The
    // second comes back as it was, and its record goes; the first, whose place is taken
    // now, stays in the trash, named in the message, and nothing is overwritten.
    void roundTrip()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, volume);
        if (volume && !m_mounted)
            QSKIP("a volume of its own needs root and a loop device to mount an ext4 image");
        const QByteArray path =
            QFile::encodeName(m_home.filePath(volume ? u"volume"_s : u"tree"_s)) + '/' + name;
        QList<trash::TrashedFile> entries;
        for (const QByteArray &content : {"first"_ba, "second"_ba}) {
            put(path, content);
            const trash::TrashResult result = trash::moveToTrash(path);
            QVERIFY2(result.moved, qPrintable(result.error));
            QCOMPARE(look(path), "none");
            QVERIFY(result.entry.keptName.size() + 10 <= 255);
            QCOMPARE(look(result.entry.trashDir + "/files/" + result.entry.keptName),
                     content + "@1000000000");
            entries.prepend(result.entry);
        }
        QCOMPARE(entries[0].trashDir.endsWith(volume ? "/volume/.Trash-0" : "/data/Trash"), true);
        QVERIFY(entries[0].keptName != entries[1].keptName);
        const int before = listed(path);
        QVERIFY(before == -1 || before == 2);

        const RestoreOutcome outcome = restoreAll(entries);
        QCOMPARE(outcome.restored, 1);
        QCOMPARE(look(path), "second@1000000000");
        QCOMPARE(outcome.message, u"1 file(s) stay in the trash:\n"_s + QString::fromUtf8(path) +
                                      u": another file has taken its place"_s);
        QCOMPARE(look(entries[1].trashDir + "/files/" + entries[1].keptName), "first@1000000000");
        QCOMPARE(listed(path), before == -1 ? -1 : 1);
        QVERIFY(::unlink(path.constData()) == 0);
        QVERIFY(QProcess::execute(u"rm"_s, {u"-rf"_s, QFile::decodeName(entries[1].trashDir)}) ==
                0);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("told");
        QTest::newRow("its folder is gone") << "folder"
                                            << "its folder is gone";
        QTest::newRow("its record is missing") << "missing"
                                               << "its record in the trash is missing";
        QTest::newRow("its record names another place") << "other"
                                                        << "its record in the trash is damaged";
        QTest::newRow("its record is no record") << "garbage"
                                                 << "its record in the trash is damaged";
        QTest::newRow("it left the trash") << "emptied"
                                           << "it is no longer in the trash";
    }

    // What cannot be put back stays where it is, and the message says why.
    void refusals()
    {
        QFETCH(QString, change);
        QFETCH(QString, told);
        const QByteArray folder = QFile::encodeName(m_home.filePath(u"tree/sub"_s));
        QVERIFY(::mkdir(folder.constData(), 0755) == 0);
        put(folder + "/a.txt", "a");
        const trash::TrashResult result = trash::moveToTrash(folder + "/a.txt");
        QVERIFY(result.moved);
        const QByteArray kept = result.entry.trashDir + "/files/" + result.entry.keptName;
        const QByteArray info =
            result.entry.trashDir + "/info/" + result.entry.keptName + ".trashinfo";
        if (change == u"folder"_s)
            QVERIFY(::rmdir(folder.constData()) == 0);
        else if (change == u"emptied"_s)
            QVERIFY(::unlink(kept.constData()) == 0);
        else if (change == u"missing"_s)
            QVERIFY(::unlink(info.constData()) == 0);
        else
            put(info, change == u"other"_s ? "[Trash Info]\nPath=/elsewhere/a.txt\n"_ba
                                           : QByteArray("Path=" + folder + "/a.txt\n"));
        const RestoreOutcome outcome = restoreAll({result.entry});
        QCOMPARE(outcome.restored, 0);
        QCOMPARE(outcome.message.section(u": "_s, 1), told);
        QCOMPARE(look(kept), change == u"emptied"_s ? "none" : "a@1000000000");
        QCOMPARE(look(folder + "/a.txt"), "none");
        QVERIFY(QProcess::execute(u"rm"_s, {u"-rf"_s, QFile::decodeName(folder),
                                            QFile::decodeName(result.entry.trashDir)}) == 0);
    }

    // What the trash is told when it cannot take a file: never that it stays in place.
    void whatHappenedIsTold()
    {
        const QByteArray gone = QFile::encodeName(m_home.filePath(u"tree/gone.txt"_s));
        QCOMPARE(trash::moveToTrash(gone).error,
                 u"it is no longer there: moved, renamed or deleted since it was listed"_s);
        QCOMPARE(trash::moveToTrash(QFile::encodeName(m_home.path())).error,
                 u"it is a folder now, not the listed file"_s);
    }

    void rules_data()
    {
        using tickrules::Rule;
        QTest::addColumn<int>("rule");
        QTest::addColumn<QStringList>("pair"); // File1, File2; "name@mtime"
        QTest::addColumn<int>("action");
        const int none = int(tickrules::Action::None), one = int(tickrules::Action::Tick),
                  two = int(tickrules::Action::SwitchAndTick);
        const auto row = [&](const char *what, Rule rule, const QString &a, const QString &b,
                             int action) {
            QTest::newRow(what) << int(rule) << QStringList{a, b} << action;
        };
        row("copy: (1)", Rule::Copy, u"a (1).txt"_s, u"a.txt"_s, one);
        row("copy: - Copy", Rule::Copy, u"a.txt"_s, u"a - Copy.txt"_s, two);
        row("copy: - Copy (2)", Rule::Copy, u"a.txt"_s, u"a - Copy (2).txt"_s, two);
        row("copy: (copy)", Rule::Copy, u"a.tar.gz"_s, u"a (copy).tar.gz"_s, two);
        row("copy: Copy of", Rule::Copy, u"Copy of a.txt"_s, u"a.txt"_s, one);
        row("copy: space copy", Rule::Copy, u"a.txt"_s, u"a copy.txt"_s, two);
        row("copy: _copy", Rule::Copy, u"a_copy.txt"_s, u"a.txt"_s, one);
        row("copy: both marked", Rule::Copy, u"a (1).txt"_s, u"a (2).txt"_s, none);
        row("copy: neither", Rule::Copy, u"a.txt"_s, u"copying.txt"_s, none);
        row("newer", Rule::Newer, u"a@100"_s, u"b@200"_s, two);
        row("newer: equal times", Rule::Newer, u"a@100"_s, u"b@100"_s, none);
        row("newer: a file gone", Rule::Newer, u"a@100"_s, u"gone"_s, none);
        row("older", Rule::Older, u"a@100"_s, u"b@200"_s, one);
        row("longer name", Rule::LongerName, u"ab"_s, u"abc"_s, two);
        row("longer name: equal", Rule::LongerName, u"ab"_s, u"cd"_s, none);
        row("under the folder", Rule::UnderFolder, u"a"_s, u"sub/a"_s, two);
        row("under: both under", Rule::UnderFolder, u"sub/a"_s, u"sub/b"_s, none);
        row("outside the folder", Rule::OutsideFolder, u"a"_s, u"sub/a"_s, one);
        row("outside: both outside", Rule::OutsideFolder, u"a"_s, u"b"_s, none);
    }

    void rules()
    {
        QFETCH(int, rule);
        QFETCH(QStringList, pair);
        QFETCH(int, action);
        const QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"sub"_s));
        std::vector<QByteArray> paths;
        for (const QString &file : std::as_const(pair)) {
            paths.push_back(QFile::encodeName(dir.filePath(file.section(u'@', 0, 0))));
            if (file != u"gone"_s)
                put(paths.back(), {}, file.section(u'@', 1).toInt());
        }
        const auto keys = tickrules::keys(tickrules::Rule(rule), paths,
                                          QFile::encodeName(dir.filePath(u"sub/"_s)));
        const tickrules::Plan plan = tickrules::plan({{0, 1, false}}, keys);
        QCOMPARE(int(plan.actions[0]), action);
        QCOMPARE(tickrules::message(plan),
                 action == int(tickrules::Action::None)
                     ? u"Ticked 0 file(s) in 0 pair(s); 1 pair(s) left alone"_s
                     : u"Ticked 1 file(s) in 1 pair(s); 0 pair(s) left alone"_s);
    }

    // Over chains, stars, cliques and random graphs, with ties and rows ticked before:
    // every set of files joined by pairs that kept a file keeps one, a ticked row stays as
    // it was, the rule's pick is the one ticked, and a row is left alone only for a tie or
    // because its tick would take the last kept file of its set.
    void safety()
    {
        QRandomGenerator random(20261207);
        for (int round = 0; round < 3000; ++round) {
            const quint32 files = 2 + random.bounded(10u);
            std::vector<tickrules::PairSides> rows;
            for (quint32 a = 0; a < files; ++a) {
                for (quint32 b = a + 1; b < files; ++b) {
                    const bool link = round % 4 == 0   ? b == a + 1
                                      : round % 4 == 1 ? a == 0
                                                       : round % 4 == 2 || random.bounded(3) == 0;
                    if (link)
                        rows.push_back(random.bounded(2)
                                           ? tickrules::PairSides{a, b, random.bounded(8) == 0}
                                           : tickrules::PairSides{b, a, random.bounded(8) == 0});
                }
            }
            std::shuffle(rows.begin(), rows.end(), random);
            std::vector<qint64> keys(files);
            for (qint64 &key : keys)
                key = random.bounded(4) == 0 ? tickrules::kUnknown : random.bounded(3);
            const tickrules::Plan plan = tickrules::plan(rows, keys);

            std::vector<quint32> set(files);
            std::iota(set.begin(), set.end(), 0u);
            for (int pass = 0; pass < int(files); ++pass)
                for (const auto &row : rows)
                    set[row.first] = set[row.second] = std::min(set[row.first], set[row.second]);
            std::vector<int> keptBefore(files), keptAfter(files);
            std::vector<bool> goesBefore(files), goes(files);
            for (size_t i = 0; i < rows.size(); ++i) {
                goesBefore[rows[i].first] = goesBefore[rows[i].first] || rows[i].checked;
                QVERIFY(!rows[i].checked || plan.actions[i] == tickrules::Action::None);
                if (rows[i].checked || plan.actions[i] != tickrules::Action::None)
                    goes[plan.actions[i] == tickrules::Action::SwitchAndTick ? rows[i].second
                                                                             : rows[i].first] =
                        true;
            }
            for (quint32 f = 0; f < files; ++f) {
                keptBefore[set[f]] += goesBefore[f] ? 0 : 1;
                keptAfter[set[f]] += goes[f] ? 0 : 1;
            }
            for (quint32 f = 0; f < files; ++f)
                QVERIFY(keptBefore[f] == 0 || keptAfter[f] > 0);
            for (size_t i = 0; i < rows.size(); ++i) {
                const qint64 a = keys[rows[i].first], b = keys[rows[i].second];
                const quint32 pick = a > b ? rows[i].first : rows[i].second;
                if (plan.actions[i] != tickrules::Action::None)
                    QCOMPARE(plan.actions[i] == tickrules::Action::Tick, pick == rows[i].first);
                else if (!rows[i].checked && a != b && a != tickrules::kUnknown &&
                         b != tickrules::kUnknown)
                    QVERIFY(!goes[pick] && keptAfter[set[pick]] == 1);
            }
        }
    }

private:
    QTemporaryDir m_home;
    bool m_mounted = false;
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_trash.moc"
