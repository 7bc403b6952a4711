// SPDX-License-Identifier: MIT
// The trash and the restore of a deletion, in a home trash of the test's own and, as root, on
// a volume of its own; the tick rules on one table of pairs, and their safety on many.

#include "actions/restore.h"
#include "actions/tickrules.h"
#include "app/translations.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace twinsift;
using namespace Qt::StringLiterals;

// Checks that `text` starts with what the data row's name says before any comma.
#define VERIFY_TAG(text)                                                                           \
    QVERIFY2(                                                                                      \
        QString(text).startsWith(QString::fromUtf8(QTest::currentDataTag()).section(u',', 0, 0)),  \
        qPrintable(text))

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

} // namespace

class TestTrash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        installTranslators(*QCoreApplication::instance(), QLocale(QLocale::English));
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

    // Two files of one name go to the trash, under names of their own. The second comes back
    // as it was, and its record goes; the first, whose place is taken now, stays in the
    // trash, named in the message, and nothing is overwritten. (trash-cli's trash-list shows
    // such entries by their real paths.)
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

        const RestoreOutcome outcome = restoreAll(entries);
        QCOMPARE(outcome.restored, 1);
        QCOMPARE(look(path), "second@1000000000");
        QCOMPARE(outcome.message, u"Left in the trash: 1 file\n"_s + QString::fromUtf8(path) +
                                      u": another file has taken its place"_s);
        QCOMPARE(look(entries[1].trashDir + "/files/" + entries[1].keptName), "first@1000000000");
        QVERIFY(::unlink(path.constData()) == 0);
        QVERIFY(QProcess::execute(u"rm"_s, {u"-rf"_s, QFile::decodeName(entries[1].trashDir)}) ==
                0);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("change"); // the row's name is what the message says
        QTest::newRow("its folder is gone") << u"folder"_s;
        QTest::newRow("its record in the trash is missing") << u"missing"_s;
        QTest::newRow("its record in the trash is damaged") << u"[Trash Info]\nPath=/a.txt\n"_s;
        QTest::newRow("its record in the trash is damaged, not one") << u"Path=/a.txt\n"_s;
        QTest::newRow("it is no longer in the trash") << u"emptied"_s;
    }

    // What cannot be put back stays where it is, and the message says why.
    void refusals()
    {
        QFETCH(QString, change);
        const QByteArray folder = QFile::encodeName(m_home.filePath(u"tree/sub"_s));
        QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
        put(folder + "/a.txt", "a");
        const trash::TrashedFile entry = trash::moveToTrash(folder + "/a.txt").entry;
        const QByteArray kept = entry.trashDir + "/files/" + entry.keptName;
        const QByteArray info = entry.trashDir + "/info/" + entry.keptName + ".trashinfo";
        if (change.size() > 7)
            put(info, change.toUtf8());
        else
            QVERIFY(::remove((change == u"folder"_s    ? folder
                              : change == u"emptied"_s ? kept
                                                       : info)
                                 .constData()) == 0);
        const RestoreOutcome outcome = restoreAll({entry});
        QCOMPARE(outcome.restored, 0);
        VERIFY_TAG(outcome.message.section(u": "_s, -1));
        QCOMPARE(look(kept), change == u"emptied"_s ? "none" : "a@1000000000");
        QCOMPARE(look(folder + "/a.txt"), "none");
        QProcess::execute(u"rm"_s,
                          {u"-rf"_s, QFile::decodeName(folder), QFile::decodeName(entry.trashDir)});
    }

    // A trash that cannot be made says so, and the file stays.
    void unwritableTrash()
    {
        const QByteArray file = QFile::encodeName(m_home.filePath(u"tree/blocked.txt"_s));
        put(file, "b");
        const QByteArray home = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", file + "/data"); // below a regular file
        const trash::TrashResult result = trash::moveToTrash(file);
        qputenv("XDG_DATA_HOME", home);
        QVERIFY(!result.moved && result.error.startsWith(u"the trash cannot be written"_s));
        QCOMPARE(look(file), "b@1000000000");
    }

    // Each rule on one pair: which side it ticks (0 none, 1 "File1", 2 "File2" switched in).
    void rules()
    {
        using enum tickrules::Rule;
        const struct {
            tickrules::Rule rule;
            QString pair; // File1|File2, with "@mtime" where it matters
            int action;
        } table[] = {
            {Copy, u"a (1).txt|a.txt"_s, 1},
            {Copy, u"a.txt|a - Copy (2).txt"_s, 2},
            {Copy, u"a.tar.gz|a (copy).tar.gz"_s, 2},
            {Copy, u"Copy of a.txt|a.txt"_s, 1},
            {Copy, u"a_copy.txt|a.txt"_s, 1},
            {Copy, u"a.txt|a copy.txt"_s, 2},
            {Copy, u"a (1).txt|a (2).txt"_s, 0},
            {Copy, u"a.txt|copying.txt"_s, 0},
            {Newer, u"a@100|b@200"_s, 2},
            {Newer, u"a@100|b@100"_s, 0},
            {Newer, u"a@100|gone"_s, 0},
            {Older, u"a@100|b@200"_s, 1},
            {LongerName, u"ab|abc"_s, 2},
            {LongerName, u"ab|cd"_s, 0},
            {UnderFolder, u"a|sub/a"_s, 2},
            {UnderFolder, u"sub/a|sub/b"_s, 0},
            {OutsideFolder, u"a|sub/a"_s, 1},
            {OutsideFolder, u"a|b"_s, 0},
        };
        const QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"sub"_s));
        for (const auto &[rule, pair, action] : table) {
            std::vector<QByteArray> paths;
            for (const QString &file : pair.split(u'|')) {
                paths.push_back(QFile::encodeName(dir.filePath(file.section(u'@', 0, 0))));
                if (file != u"gone"_s)
                    put(paths.back(), {}, file.section(u'@', 1).toInt());
            }
            const tickrules::Plan plan = tickrules::plan(
                {{0, 1, false}},
                tickrules::keys(rule, paths, QFile::encodeName(dir.filePath(u"sub/"_s))));
            QVERIFY2(int(plan.actions[0]) == action, qPrintable(pair));
            QCOMPARE(tickrules::message(plan).left(14),
                     action ? u"Ticked 1 file "_s : u"Ticked 0 files"_s);
        }
    }

    // Over chains, stars, cliques and random graphs, with ties, rows ticked before and, every
    // other round, only pairs of the same contents to tick: every set of files joined by
    // pairs that kept a file keeps one, a ticked row stays as it was, the rule's pick is the
    // one ticked, and a row is left alone only for a tie, for contents not the same, or
    // because its tick would take the last kept file of its set.
    void safety()
    {
        using tickrules::Action;
        QRandomGenerator random(20261207);
        for (size_t round = 0; round < 3000; ++round) {
            const quint32 files = 2 + random.bounded(10u);
            std::vector<tickrules::PairSides> rows;
            for (quint32 a = 0; a < files; ++a) {
                for (quint32 b = a + 1; b < files; ++b) {
                    const bool flip = random.bounded(2), ticked = random.bounded(8) == 0;
                    if (std::array{b == a + 1, a == 0, true, random.bounded(3) == 0}[round % 4])
                        rows.push_back({flip ? b : a, flip ? a : b, ticked});
                }
            }
            std::shuffle(rows.begin(), rows.end(), random);
            std::vector<qint64> keys(files);
            for (qint64 &key : keys)
                key = random.bounded(4) == 0 ? tickrules::kUnknown : random.bounded(3);
            std::vector<bool> same;
            for (size_t i = 0; round % 2 && i < rows.size(); ++i)
                same.push_back(random.bounded(3) != 0);
            const tickrules::Plan plan = tickrules::plan(rows, keys, same);

            std::vector<quint32> set(files); // the least file each file is joined to
            std::iota(set.begin(), set.end(), 0u);
            for (quint32 pass = 0; pass < files; ++pass) {
                for (const auto &row : rows)
                    set[row.first] = set[row.second] = std::min(set[row.first], set[row.second]);
            }
            std::vector<int> before(files), after(files); // the files of each set that stay
            std::vector<char> went(files), goes(files);
            for (size_t i = 0; i < rows.size(); ++i) {
                const auto &[first, second, checked] = rows[i];
                QVERIFY(!checked || plan.actions[i] == Action::None);
                went[first] |= checked;
                goes[plan.actions[i] == Action::SwitchAndTick ? second : first] |=
                    checked || plan.actions[i] != Action::None;
            }
            for (quint32 f = 0; f < files; ++f) {
                before[set[f]] += !went[f];
                after[set[f]] += !goes[f];
            }
            for (quint32 f = 0; f < files; ++f)
                QVERIFY(before[f] == 0 || after[f] > 0);
            qint64 notSame = 0;
            for (size_t i = 0; i < rows.size(); ++i) {
                const auto &[first, second, checked] = rows[i];
                const qint64 a = keys[first], b = keys[second];
                const quint32 pick = a > b ? first : second;
                if (!same.empty() && !same[i])
                    notSame += plan.actions[i] == Action::None && !checked;
                else if (plan.actions[i] != Action::None)
                    QCOMPARE(plan.actions[i] == Action::Tick, pick == first);
                else if (!checked && a != b && std::min(a, b) != tickrules::kUnknown)
                    QVERIFY(!goes[pick] && after[set[pick]] == 1);
            }
            QCOMPARE(notSame, plan.notSame);
        }
    }

private:
    QTemporaryDir m_home;
    bool m_mounted = false;
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_trash.moc"
