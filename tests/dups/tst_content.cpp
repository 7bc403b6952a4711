// SPDX-License-Identifier: MIT
#include "app/translations.h"
#include "dups/candidatetable.h"
#include "dups/contentcomparer.h"
#include "dups/duplicatesearch.h"
#include "dups/likeness.h"
#include "treebuilder.h"

#include <QTest>

#include <sys/fsuid.h>

using namespace twinsift;
using Kind = ContentVerdict::Kind;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kTen = 10 * 1024 * 1024;

enum class Twist { None, Unreadable, Fifo, Link, HardLink, Rewritten, Replaced, Removed };

QByteArray pattern(qint64 size, qint64 flip = -1)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + 7) & 0xFF);
    if (flip >= 0)
        bytes[flip] = char(~bytes[flip]);
    return bytes;
}

void write(const QByteArray &path, const QByteArray &bytes)
{
    QFile file(QFile::decodeName(path));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

FileIdentity identityOf(const QByteArray &path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 ? FileIdentity::of(info) : FileIdentity{};
}

// Files as the list holds them: paths and the identities taken when they were listed.
struct Listed {
    std::vector<QByteArray> paths;
    std::vector<FileIdentity> identities;

    quint32 add(const QByteArray &path)
    {
        paths.push_back(path);
        identities.push_back(identityOf(path));
        return quint32(paths.size() - 1);
    }
    ContentComparer::Files files() const
    {
        return [this](quint32 i) { return ContentFile{paths[i], identities[i]}; };
    }
};

} // namespace

class TestContent : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        installTranslators(*QCoreApplication::instance(), QLocale(QLocale::English));
    }

    void verdicts_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("secondSize");
        QTest::addColumn<qint64>("flip"); // where the second file's bytes differ, -1 nowhere
        QTest::addColumn<Twist>("twist");
        QTest::addColumn<Kind>("verdict");
        QTest::addColumn<qint64>("bytesRead"); // -1: not counted
        const auto row = [](const char *name, qint64 size, qint64 secondSize, qint64 flip,
                            Twist twist, Kind verdict, qint64 bytes) {
            QTest::newRow(name) << size << secondSize << flip << twist << verdict << bytes;
        };
        row("identical", 5, 5, -1, Twist::None, Kind::Same, 10);
        row("identical 10 MB", kTen, kTen, -1, Twist::None, Kind::Same, 2 * kTen);
        row("first byte differs: first 4 KiB only", kTen, kTen, 0, Twist::None, Kind::Different,
            2 * 4096);
        row("last byte differs", kTen, kTen, kTen - 1, Twist::None, Kind::Different, 2 * kTen);
        row("middle byte differs", kTen, kTen, kTen / 2, Twist::None, Kind::Different, 2 * kTen);
        row("byte after the first 4 KiB differs", 4097, 4097, 4096, Twist::None, Kind::Different,
            2 * 4097);
        row("different size: nothing read", kTen, kTen - 1, -1, Twist::None, Kind::Different, 0);
        row("both empty", 0, 0, -1, Twist::None, Kind::Same, 0);
        row("unreadable", 5, 5, -1, Twist::Unreadable, Kind::Unreadable, -1);
        row("pipe never read", 0, 0, -1, Twist::Fifo, Kind::NotRegular, 0);
        row("link not followed", 5, 5, -1, Twist::Link, Kind::NotRegular, -1);
        row("two names of one file read once", 5, 5, -1, Twist::HardLink, Kind::Same, 5);
        row("rewritten after listing", 5, 5, -1, Twist::Rewritten, Kind::Changed, -1);
        row("replaced after listing", 5, 5, -1, Twist::Replaced, Kind::Changed, -1);
        row("removed after listing", 5, 5, -1, Twist::Removed, Kind::Changed, -1);
    }
    void verdicts()
    {
        QFETCH(qint64, size);
        QFETCH(qint64, secondSize);
        QFETCH(qint64, flip);
        QFETCH(Twist, twist);
        TreeBuilder tree;
        const QByteArray a = tree.path("a.bin"), b = tree.path("b.bin");
        write(a, pattern(size));
        if (twist == Twist::Fifo)
            QCOMPARE(::mkfifo(b.constData(), 0644), 0);
        else if (twist == Twist::Link)
            QCOMPARE(::symlink("a.bin", b.constData()), 0); // as long as the file it names
        else if (twist == Twist::HardLink)
            QCOMPARE(::link(a.constData(), b.constData()), 0);
        else
            write(b, pattern(secondSize, flip));
        Listed listed;
        const ContentPair pair{listed.add(a), listed.add(b)};
        // Between listing and comparing.
        if (twist == Twist::Unreadable) {
            QCOMPARE(::chmod(tree.root().constData(), 0755), 0);
            QCOMPARE(::chmod(a.constData(), 0644), 0);
            QCOMPARE(::chmod(b.constData(), 0600), 0);
            // Root reads everything: compare as nobody, whose rights the readers inherit.
            if (::geteuid() == 0)
                ::setfsuid(65534);
        } else if (twist == Twist::Rewritten) {
            write(b, pattern(size, 1));
            const timespec later[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
            QCOMPARE(::utimensat(AT_FDCWD, b.constData(), later, 0), 0);
        } else if (twist == Twist::Replaced) {
            QCOMPARE(::unlink(b.constData()), 0);
            write(b, pattern(size));
        } else if (twist == Twist::Removed) {
            QCOMPARE(::unlink(b.constData()), 0);
        }
        ContentComparer comparer;
        const auto outcome = comparer.compare({&pair, 1}, listed.files());
        if (::geteuid() == 0)
            ::setfsuid(0);
        QTEST(outcome.verdicts.at(0).kind, "verdict");
        QFETCH(qint64, bytesRead);
        if (bytesRead >= 0)
            QCOMPARE(qint64(outcome.bytesRead), bytesRead);
        if (outcome.verdicts[0].kind >= Kind::Unreadable) {
            QCOMPARE(outcome.failures.size(), size_t(1));
            QCOMPARE(outcome.failures[0].file, pair.second);
        }
        if (twist == Twist::Unreadable)
            QCOMPARE(outcome.verdicts[0].text(), u"unreadable: permission denied");
    }

    // A file in many pairs is read once; comparing again reads nothing unchanged and still
    // notices a file changed since.
    void eachFileReadOnce()
    {
        TreeBuilder tree;
        Listed listed;
        write(tree.path("hub"), pattern(10000));
        const quint32 hub = listed.add(tree.path("hub"));
        std::vector<ContentPair> pairs;
        for (int i = 0; i < 200; ++i) {
            const QByteArray path = tree.path("copy" + QByteArray::number(i));
            write(path, pattern(10000, i == 7 ? 9999 : -1));
            pairs.push_back({hub, listed.add(path)});
        }
        ContentComparer comparer;
        auto outcome = comparer.compare(pairs, listed.files(), {}, nullptr, 3);
        QCOMPARE(outcome.bytesRead, quint64(201 * 10000));
        QCOMPARE(std::count(outcome.verdicts.begin(), outcome.verdicts.end(),
                            ContentVerdict{Kind::Same}),
                 199);
        QCOMPARE(outcome.verdicts[7].kind, Kind::Different);
        QCOMPARE(comparer.cachedFiles(), size_t(201));

        write(listed.paths[pairs[3].second], pattern(10000, 5));
        outcome = comparer.compare(pairs, listed.files());
        QCOMPARE(outcome.bytesRead, quint64(0));
        QCOMPARE(outcome.verdicts[3].kind, Kind::Changed);
        QCOMPARE(outcome.verdicts[4].kind, Kind::Same);
        QCOMPARE(outcome.verdicts[7].kind, Kind::Different);
    }

    // What earlier compares read is built on: a file whose first 4 KiB alone were read, and
    // one read whole, each meet a partner that needs more.
    void buildsOnEarlierCompares()
    {
        TreeBuilder tree;
        Listed listed;
        for (const char *name : {"a", "b", "c", "d"})
            write(tree.path(name), pattern(9000, *name == 'b' ? 0 : -1));
        for (const char *name : {"a", "b", "c", "d"})
            listed.add(tree.path(name));
        ContentComparer comparer;
        const auto check = [&](ContentPair pair, Kind verdict, quint64 bytes) {
            const auto outcome = comparer.compare({&pair, 1}, listed.files());
            QCOMPARE(outcome.verdicts[0].kind, verdict);
            QCOMPARE(outcome.bytesRead, bytes);
        };
        check({0, 1}, Kind::Different, 2 * 4096);
        check({0, 2}, Kind::Same, (9000 - 4096) + 9000);
        check({2, 3}, Kind::Same, 9000);
    }

    // Stopped at any point, a pair is told truly or not at all, and what was read is kept
    // only where it is whole: comparing again tells every pair truly.
    void stopTellsNothingUntrue()
    {
        TreeBuilder tree;
        Listed listed;
        for (const auto &[name, flip] : {std::pair("a", -1), {"b", -1}, {"c", 8999}, {"d", 0}})
            write(tree.path(name), pattern(9000, flip));
        for (const char *name : {"a", "b", "c", "d"})
            listed.add(tree.path(name));
        const std::vector<ContentPair> pairs{{0, 1}, {0, 2}, {2, 3}};
        const std::vector<Kind> truth{Kind::Same, Kind::Different, Kind::Different};
        for (int stopAt = 1;; ++stopAt) {
            std::stop_source stop;
            int calls = 0;
            const auto files = [&](quint32 i) {
                if (++calls == stopAt)
                    stop.request_stop();
                return listed.files()(i);
            };
            ContentComparer comparer;
            const auto outcome = comparer.compare(pairs, files, stop.get_token(), nullptr, 1);
            for (size_t k = 0; k < pairs.size(); ++k)
                QVERIFY(!outcome.verdicts[k].isCompared() || outcome.verdicts[k].kind == truth[k]);
            const auto again = comparer.compare(pairs, listed.files());
            for (size_t k = 0; k < pairs.size(); ++k)
                QCOMPARE(again.verdicts[k].kind, truth[k]);
            if (!outcome.stopped)
                break;
        }
    }

    // The explanation agrees with the search's own similarity on the reference names.
    void likeness_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<QString>("text");
        QTest::newRow("report") << QByteArray("/d/report.doc") << QByteArray("/e/reports.doc")
                                << u"REPORT / REPORTS: 5 shared letter pairs of 5 and 6 -> 91 %"_s;
        QTest::newRow("france") << QByteArray("france.txt") << QByteArray("french.txt")
                                << u"FRANCE / FRENCH: 2 shared letter pairs of 5 and 5 -> 40 %"_s;
        QTest::newRow("threshold")
            << QByteArray("abcdef.txt") << QByteArray("abcdxy.txt")
            << u"ABCDEF / ABCDXY: 3 shared letter pairs of 5 and 5 -> 60 %"_s;
        QTest::newRow("repeats") << QByteArray("aaaa.txt") << QByteArray("aa.txt")
                                 << u"AAAA / AA: 1 shared letter pair of 3 and 1 -> 50 %"_s;
    }
    void likeness()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        const Likeness made = Likeness::of(first, second);
        QTEST(made.text(), "text");
        FileRecords records;
        for (const QByteArray &path : {first, second})
            storeCandidate(path, path.lastIndexOf('/') + 1, KeywordList(), records);
        int searched = -1;
        findDuplicates(records, 30, [&](quint32, quint32, int percent) { searched = percent; });
        QCOMPARE(made.percent, searched);
    }
};

QTEST_GUILESS_MAIN(TestContent)
#include "tst_content.moc"
