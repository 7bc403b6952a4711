// SPDX-License-Identifier: MIT
// The trash and the restore of a deletion, in a home trash of the test's own and, as root, on
// a volume of its own; the tick rules on one table of pairs, and their safety on many.

#include "actions/restore.h"
#include "actions/tickrules.h"
#include "app/translations.h"
#include "listing/listing.h"
#include "listing/rawname.h"

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

// The file `name` as a walk of `root` lists it.
ListedFile listed(const QByteArray &root, const QByteArray &name)
{
    RunningIndex index;
    ListedFile found;
    RecurseFiles2(root, index, [&](ListingRow &&row) {
        if (row.path.endsWith(QByteArray('/' + name)))
            found = {row.path, row.rootLength, row.identity};
    });
    return found;
}

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
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
        QVERIFY(QDir(m_home.path()).mkpath(u"tree"_s));
        // Volumes of their own as root, each with its own trash at its top; vfat and exfat
        // through FUSE where the kernel lacks them.
        for (const QString &kind : {u"ext4"_s, u"vfat"_s, u"exfat"_s}) {
            const QString image = m_home.filePath(kind + u".img"_s);
            const QString volume = m_home.filePath(kind);
            QFile file(image);
            if (::getuid() == 0 && QDir().mkpath(volume) && file.open(QIODevice::WriteOnly) &&
                file.resize(16 << 20) && run(u"mkfs."_s + kind, {image}) &&
                (run(u"mount"_s, {u"-o"_s, u"loop"_s, image, volume}) ||
                 (kind == u"vfat"_s && run(u"fusefat"_s, {u"-o"_s, u"rw+"_s, image, volume})) ||
                 (kind == u"exfat"_s &&
                  run(u"mount"_s, {u"-t"_s, u"exfat-fuse"_s, u"-o"_s, u"loop"_s, image, volume}))))
                m_mounted << kind;
        }
    }
    void cleanupTestCase()
    {
        for (const QString &kind : std::as_const(m_mounted))
            QVERIFY(::umount(QFile::encodeName(m_home.filePath(kind))) == 0);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("volume"); // empty: the home folder's
        QTest::newRow("plain") << "report.doc"_ba << QString();
        QTest::newRow("a 255-byte name") << QByteArray(251, 'n') + ".doc" << QString();
        QTest::newRow("255 bytes of two-byte letters")
            << QString(127, u'\u00e9').toUtf8() + "x" << QString();
        QTest::newRow("not UTF-8") << "caf\xe9 %.txt"_ba << QString();
        for (const QString &kind : {u"ext4"_s, u"vfat"_s, u"exfat"_s})
            QTest::addRow("on %s", qPrintable(kind)) << "report.doc"_ba << kind;
    }

    // Two files of one name go to the trash, under names of their own, the second listed
    // through a link to its folder: the trash is the volume's, at its top, and the record
    // holds the real path. The second comes back as it was, and its record goes; the first,
    // whose place is taken now, stays in the trash, named in the message, and nothing is
    // overwritten. (trash-cli's trash-list shows such entries by their real paths.)
    void roundTrip()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, volume);
        if (!volume.isEmpty() && !m_mounted.contains(volume))
            QSKIP("a volume of its own needs root, a loop device and the image's mkfs");
        const QByteArray top =
            QFile::encodeName(m_home.filePath(volume.isEmpty() ? u"tree"_s : volume));
        const QByteArray folder = top + "/sub";
        const QByteArray link = QFile::encodeName(m_home.filePath(u"link-"_s + volume));
        QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
        QVERIFY(::symlink(folder.constData(), link.constData()) == 0);
        const QByteArray path = folder + '/' + name;
        // fusefat keeps no modification times.
        const auto content = [&](const QByteArray &file) {
            return volume == u"vfat"_s ? look(file).split('@').front() : look(file);
        };
        const QByteArray time = volume == u"vfat"_s ? "" : "@1000000000";
        QList<trash::TrashedFile> entries;
        for (const QByteArray &start : {folder, link}) {
            put(path, start == link ? "second" : "first");
            trash::Session session;
            const trash::TrashResult result = session.moveToTrash(listed(start, name));
            QVERIFY2(result.moved, qPrintable(result.error));
            QCOMPARE(look(path), "none");
            QCOMPARE(result.entry.realPath, path);
            QVERIFY(result.entry.keptName.size() + 10 <= 255);
            QCOMPARE(content(result.entry.trashDir + "/files/" + result.entry.keptName),
                     (start == link ? "second"_ba : "first"_ba) + time);
            entries.prepend(result.entry);
        }
        QCOMPARE(entries[0].trashDir, volume.isEmpty()
                                          ? QFile::encodeName(m_home.filePath(u"data/Trash"_s))
                                          : top + "/.Trash-0");
        QVERIFY(entries[0].keptName != entries[1].keptName);

        const RestoreOutcome outcome = restoreAll(entries);
        QCOMPARE(outcome.restored, 1);
        QCOMPARE(content(path), "second" + time);
        QCOMPARE(outcome.message, u"Left in the trash: 1 file\n"_s + rawname::display(path) +
                                      u": another file has taken its place"_s);
        QCOMPARE(content(entries[1].trashDir + "/files/" + entries[1].keptName), "first" + time);
        QVERIFY(::unlink(path.constData()) == 0 && ::unlink(link.constData()) == 0);
        QVERIFY(run(u"rm"_s, {u"-rf"_s, QFile::decodeName(entries[1].trashDir)}));
    }

    // Hostile or careless changes between the search and Delete, or between Delete and
    // Ctrl+Z. The row's name is what the message says; nothing but the listed file is ever
    // moved, and a file that cannot be put back stays in the trash (or is told gone).
    void changes_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("volume");
        QTest::addColumn<QByteArray>("ends"); // where the listed file ends: tree, trash, gone
        const auto row = [](const char *message, const QString &change, const char *ends,
                            const QString &volume = {}) {
            QTest::newRow(message) << change << volume << QByteArray(ends);
        };
        // Before Delete.
        row("it changed since it was listed, same size", u"touch"_s, "tree");
        row("it changed since it was listed, other size", u"grow"_s, "tree");
        row("it was replaced since it was listed", u"replace"_s, "tree");
        row("it is no longer there", u"remove"_s, "gone");
        row("a folder on its path was replaced by a link", u"folder link"_s, "tree");
        row("the trash folder", u"trash link"_s, "tree"); // "... is not used: it is a link"
        row("the trash folder, mode", u"wide trash"_s, "tree", u"ext4"_s);
        // Before Ctrl+Z.
        row("its folder was replaced by a link", u"undo folder link"_s, "trash");
        row("its folder was replaced since the deletion", u"undo new folder"_s, "trash");
        row("its folder is gone", u"undo no folder"_s, "trash");
        row("the trash folder, now a link", u"undo trash link"_s, "trash");
        row("its record in the trash names another path", u"undo record"_s, "trash");
        row("its record in the trash is damaged", u"undo damaged"_s, "trash");
        row("its record in the trash is missing", u"undo no record"_s, "trash");
        row("it is no longer in the trash", u"undo emptied"_s, "gone");
    }

    void changes()
    {
        QFETCH(QString, change);
        QFETCH(QString, volume);
        QFETCH(QByteArray, ends);
        if (!volume.isEmpty() && !m_mounted.contains(volume))
            QSKIP("a volume of its own needs root, a loop device and the image's mkfs");
        const QByteArray tree =
            QFile::encodeName(m_home.filePath(volume.isEmpty() ? u"tree"_s : volume));
        const QByteArray sub = tree + "/sub", other = tree + "/other";
        for (const QString &left : {u"sub"_s, u"sub.old"_s, u"other"_s, u".Trash-0"_s,
                                    u"../data/Trash"_s, u"../data/Trash.old"_s})
            QVERIFY(run(u"rm"_s, {u"-rf"_s, QFile::decodeName(tree) + u'/' + left}));
        QVERIFY(QDir().mkpath(QFile::decodeName(sub)) && QDir().mkpath(QFile::decodeName(other)));
        put(sub + "/a.txt", "a");
        put(other + "/a.txt", "x"); // a same-named file a link could lead to
        const QByteArray home = QFile::encodeName(m_home.filePath(u"data/Trash"_s));
        const QByteArray volumeTrash = tree + "/.Trash-0";
        const ListedFile file = listed(tree, "sub/a.txt");
        if (change == u"touch"_s)
            put(sub + "/a.txt", "b", 2'000'000'000);
        else if (change == u"grow"_s)
            put(sub + "/a.txt", "abc");
        else if (change == u"replace"_s)
            QVERIFY(::link(QByteArray(sub + "/a.txt").constData(),
                           QByteArray(sub + "/b.txt").constData()) == 0 &&
                    ::unlink(QByteArray(sub + "/a.txt").constData()) == 0 &&
                    (put(other + "/new.txt", "a"), true) &&
                    ::rename(QByteArray(other + "/new.txt").constData(),
                             QByteArray(sub + "/a.txt").constData()) == 0);
        else if (change == u"remove"_s)
            QVERIFY(::unlink(QByteArray(sub + "/a.txt").constData()) == 0);
        else if (change == u"folder link"_s)
            swapForLink(sub, other);
        else if (change == u"trash link"_s)
            QVERIFY(QDir().mkpath(QFile::decodeName(other + "/Trash")) &&
                    run(u"rm"_s, {u"-rf"_s, QFile::decodeName(home)}) &&
                    ::symlink(QByteArray(other + "/Trash").constData(), home.constData()) == 0);
        else if (change == u"wide trash"_s)
            QVERIFY(::mkdir(volumeTrash.constData(), 0755) == 0 &&
                    ::chmod(volumeTrash.constData(), 0755) == 0);

        trash::TrashResult result;
        {
            trash::Session session;
            result = session.moveToTrash(file);
        }
        QString message = result.error;
        if (change.startsWith(u"undo"_s)) {
            QVERIFY2(result.moved, qPrintable(result.error));
            const trash::TrashedFile &entry = result.entry;
            const QByteArray kept = entry.trashDir + "/files/" + entry.keptName;
            const QByteArray info = entry.trashDir + "/info/" + entry.keptName + ".trashinfo";
            if (change == u"undo folder link"_s)
                swapForLink(sub, other);
            else if (change == u"undo new folder"_s)
                QVERIFY(::rename(sub.constData(), QByteArray(sub + ".old").constData()) == 0 &&
                        ::mkdir(sub.constData(), 0700) == 0);
            else if (change == u"undo no folder"_s)
                QVERIFY(::rmdir(sub.constData()) == 0);
            else if (change == u"undo trash link"_s)
                QVERIFY(::rename(home.constData(), QByteArray(home + ".old").constData()) == 0 &&
                        ::symlink(QByteArray(home + ".old").constData(), home.constData()) == 0);
            else if (change == u"undo record"_s)
                put(info, "[Trash Info]\nPath=" + other + "/a.txt\n");
            else if (change == u"undo damaged"_s)
                put(info, "Path=" + sub + "/a.txt\n");
            else if (change == u"undo no record"_s)
                QVERIFY(::unlink(info.constData()) == 0);
            else if (change == u"undo emptied"_s)
                QVERIFY(::unlink(kept.constData()) == 0);
            const RestoreOutcome outcome = restoreAll({entry});
            QCOMPARE(outcome.restored, 0);
            QVERIFY2(outcome.message.startsWith(ends == "gone"
                                                    ? u"No longer in the trash: 1 file\n"_s
                                                    : u"Left in the trash: 1 file\n"_s),
                     qPrintable(outcome.message));
            message = outcome.message.section(u": "_s, -1);
            // Still in the trash where it is said to be, and nowhere else.
            QCOMPARE(look(kept) != "none" || change == u"undo trash link"_s, ends == "trash");
            ::rename(QByteArray(home + ".old").constData(), home.constData());
        } else {
            QVERIFY(!result.moved);
        }
        VERIFY_TAG(message);
        // Nothing else was touched: the same-named file where a link could lead stays.
        QCOMPARE(look(other + "/a.txt"), "x@1000000000");
        const QByteArray place =
            QFileInfo::exists(QFile::decodeName(sub + ".old")) ? sub + ".old" : sub;
        QCOMPARE(look(place + "/a.txt") == "none", ends != "tree");
        QVERIFY(run(u"rm"_s, {u"-rf"_s, QFile::decodeName(tree + "/sub"),
                              QFile::decodeName(sub + ".old"), QFile::decodeName(other),
                              QFile::decodeName(home), QFile::decodeName(volumeTrash)}));
    }

    // A trash that cannot be made says so, the file stays, and nothing is left behind.
    void unwritableTrash()
    {
        const QByteArray file = QFile::encodeName(m_home.filePath(u"tree/blocked.txt"_s));
        put(file, "b");
        const QByteArray home = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", file + "/data"); // below a regular file
        trash::Session session;
        const trash::TrashResult result =
            session.moveToTrash(listed(file.left(file.lastIndexOf('/')), "blocked.txt"));
        qputenv("XDG_DATA_HOME", home);
        QVERIFY(!result.moved && result.error.startsWith(u"the trash cannot be written"_s));
        QCOMPARE(look(file), "b@1000000000");
        QVERIFY(::unlink(file.constData()) == 0);
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
        // A link and the file it leads to are one file: the copy that is the only real file
        // stays; the link itself may go.
        const QByteArray real = QFile::encodeName(dir.filePath(u"report (1).doc"_s));
        const QByteArray link = QFile::encodeName(dir.filePath(u"report.doc"_s));
        put(real, "r");
        QVERIFY(::symlink(real.constData(), link.constData()) == 0);
        const std::vector<QByteArray> paths{link, real};
        const std::vector<quint32> targets = tickrules::linkTargets(paths);
        QCOMPARE(targets, (std::vector<quint32>{1, 1}));
        const std::vector<qint64> copy = tickrules::keys(tickrules::Rule::Copy, paths);
        QCOMPARE(tickrules::plan({{0, 1, false}}, copy, targets).actions[0],
                 tickrules::Action::None);
        QCOMPARE(tickrules::plan({{0, 1, false}}, {1, 0}, targets).actions[0],
                 tickrules::Action::Tick);
    }

    // Over chains, stars, cliques and random graphs, with ties and rows ticked before:
    // every set of files joined by pairs that kept a file keeps one, a ticked row stays as
    // it was, the rule's pick is the one ticked, and a row is left alone only for a tie or
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
            const tickrules::Plan plan = tickrules::plan(rows, keys);

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
            for (size_t i = 0; i < rows.size(); ++i) {
                const auto &[first, second, checked] = rows[i];
                const qint64 a = keys[first], b = keys[second];
                const quint32 pick = a > b ? first : second;
                if (plan.actions[i] != Action::None)
                    QCOMPARE(plan.actions[i] == Action::Tick, pick == first);
                else if (!checked && a != b && std::min(a, b) != tickrules::kUnknown)
                    QVERIFY(!goes[pick] && after[set[pick]] == 1);
            }
        }
    }

private:
    // Puts a link to `target` where the folder `folder` stood; the folder moves aside.
    static void swapForLink(const QByteArray &folder, const QByteArray &target)
    {
        QVERIFY(::rename(folder.constData(), QByteArray(folder + ".old").constData()) == 0);
        QVERIFY(::symlink(target.constData(), folder.constData()) == 0);
    }

    QTemporaryDir m_home;
    QStringList m_mounted;
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_trash.moc"
