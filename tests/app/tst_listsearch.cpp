// SPDX-License-Identifier: MIT
// "&List Files", "&Find Duplicates" and "&Clear" through the real window.

#include "formfixture.h"

#include <QLabel>
#include <QScopeGuard>

#include <fcntl.h>
#include <sys/fsuid.h>
#include <unistd.h>

using namespace twinsift;
using namespace twinsift::testing;

// While it lives, new threads of this one start with the file rights of "nobody", so that
// permissions stop them even when the tests run as root.
class Unprivileged {
public:
    Unprivileged()
    {
        if (::geteuid() == 0) {
            ::setfsgid(65534);
            ::setfsuid(65534);
        }
    }
    ~Unprivileged()
    {
        if (::geteuid() == 0) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    Unprivileged(const Unprivileged &) = delete;
    Unprivileged &operator=(const Unprivileged &) = delete;
};

class TestListSearch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("HOMEDRIVE", "/");
        qputenv("USERPROFILE", m_dir->path().toUtf8());
    }

    void listingTwiceNumbersOn()
    {
        makeFiles(root(), {QStringLiteral("a.txt"), QStringLiteral("sub/b.txt"),
                           QStringLiteral("c.txt")});
        Window w;
        QVERIFY(w.list(root()));
        QCOMPARE(w.model()->rowCount(), 3);
        QVERIFY(w.list(root()));
        QCOMPARE(w.model()->rowCount(), 6);
        for (int row = 0; row < 6; ++row)
            QCOMPARE(w.cell(row, 0), QString::number(row + 1));
        // The start-up columns stay: listing mode was already set.
        QCOMPARE(w.view()->columnWidth(4), 300);
        // Each folder in name order, a sub-folder's files where the sub-folder stands.
        QCOMPARE(w.cell(3, 1), QStringLiteral("a.txt"));
        QCOMPARE(w.cell(4, 1), QStringLiteral("c.txt"));
        QCOMPARE(w.cell(5, 4), root() + QStringLiteral("/sub/b.txt"));
        QCOMPARE(w.cell(5, 2), QStringLiteral("4"));
        QCOMPARE(w.child<QLineEdit>("txtIndex")->text(), QStringLiteral("6"));
        QCOMPARE(w.form.runningIndex().value(), 6u);
        QVERIFY(!w.child<QPushButton>("cmdSwitchItems")->isEnabled());
        QVERIFY(w.log->told.isEmpty());
    }

    void searchAppendsPairsAndListingRebuilds()
    {
        makeFiles(root(), {QStringLiteral("report.doc"), QStringLiteral("reports.doc"),
                           QStringLiteral("notes.txt"), QStringLiteral("notes.doc")});
        Window w;
        QVERIFY(w.list(root()));
        QCOMPARE(w.model()->rowCount(), 4);

        QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.form.listMode(), ListMode::Duplicate);
        QCOMPARE(w.headers(), (QStringList{QStringLiteral("No."), QStringLiteral("File1"),
                                           QStringLiteral("File2"),
                                           QStringLiteral("Similarity(%)")}));
        QCOMPARE(w.model()->rowCount(), 1);
        QCOMPARE(w.cell(0, 0), QStringLiteral("1"));
        QCOMPARE(w.cell(0, 1), root() + QStringLiteral("/report.doc"));
        QCOMPARE(w.cell(0, 2), root() + QStringLiteral("/reports.doc"));
        QCOMPARE(w.cell(0, 3), QStringLiteral("91"));
        QVERIFY(w.child<QPushButton>("cmdSwitchItems")->isEnabled());
        QCOMPARE(w.child<QProgressBar>("ProgressBar1")->value(),
                 w.child<QProgressBar>("ProgressBar1")->maximum());
        QCOMPARE(w.child<QLabel>("lblWorking")->text(), QStringLiteral("100%"));

        // A second search appends, numbered on.
        QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.model()->rowCount(), 2);
        QCOMPARE(w.cell(1, 0), QStringLiteral("2"));
        QCOMPARE(w.cell(1, 1), root() + QStringLiteral("/report.doc"));

        // Listing after a search clears, sets the listing columns and numbers from 1.
        QVERIFY(w.list(root()));
        QCOMPARE(w.form.listMode(), ListMode::Search);
        QCOMPARE(w.model()->rowCount(), 4);
        QCOMPARE(w.cell(0, 0), QStringLiteral("1"));
        const QList<int> widths{100, 300, 90, 100, 550};
        for (int c = 0; c < widths.size(); ++c)
            QCOMPARE(w.view()->columnWidth(c), widths[c]);
        QCOMPARE(w.model()->headerData(3, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                     Qt::AlignHorizontal_Mask,
                 int(Qt::AlignRight));
        QVERIFY(!w.child<QPushButton>("cmdSwitchItems")->isEnabled());
    }

    void sliderSetsThreshold_data()
    {
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("rows");

        QTest::newRow("equal to the threshold: no pair") << 60 << 0;
        QTest::newRow("above the threshold") << 59 << 1;
    }

    void sliderSetsThreshold()
    {
        QFETCH(int, slider);
        QFETCH(int, rows);
        makeFiles(root(), {QStringLiteral("abcdef.txt"), QStringLiteral("abcdxy.txt")});
        Window w;
        w.child<QSlider>("Slider1")->setValue(slider);
        QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.model()->rowCount(), rows);
        if (rows)
            QCOMPARE(w.cell(0, 3), QStringLiteral("60"));
    }

    void keywordsLeaveStemsOut()
    {
        makeFiles(root(), {QStringLiteral("Remix.mp3"), QStringLiteral("remix2.mp3"),
                           QStringLiteral("My Remix.mp3"), QStringLiteral("My Remix2.mp3")});
        const QString keywords = m_dir->filePath(QStringLiteral("Keywords.txt"));
        QFile file(keywords);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("REMIX\n");
        file.close();
        Window w(keywords);
        QVERIFY(w.findDuplicates(root()));
        // Only the two MYREMIX files are candidates.
        QCOMPARE(w.model()->rowCount(), 1);
        QVERIFY(w.cell(0, 1).endsWith(QStringLiteral("/My Remix.mp3")));
        QVERIFY(w.cell(0, 2).endsWith(QStringLiteral("/My Remix2.mp3")));
    }

    void statisticsBox_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("counts");

        QTest::newRow("three candidates")
            << QStringList{QStringLiteral("alpha.txt"), QStringLiteral("beta.txt"),
                           QStringLiteral("gamma.txt")}
            << "Total files = 3\nTotal comparisons = 3\n";
        QTest::newRow("one candidate") << QStringList{QStringLiteral("alpha.txt")}
                                       << "Total files = 1\nTotal comparisons = 0\n";
        QTest::newRow("no candidate") << QStringList{QStringLiteral("1.txt")}
                                      << "Total files = 0\nTotal comparisons = 0\n";
    }

    void statisticsBox()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, counts);
        makeFiles(root(), files);
        Window w;
        w.child<QCheckBox>("chkMsgBox")->setChecked(true);
        QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.log->told.size(), 1);
        const Box &box = w.log->told.front();
        QCOMPARE(box.title, QStringLiteral("Twinsift"));
        QVERIFY2(box.text.startsWith(counts + QStringLiteral("Elapsed time in seconds - ")),
                 qPrintable(box.text));
        QCOMPARE(box.text.count(u'\n'), 2);
        QVERIFY(w.child<QPushButton>("cmdSwitchItems")->isEnabled());
    }

    void noStatisticsUnlessTicked()
    {
        makeFiles(root(), {QStringLiteral("alpha.txt"), QStringLiteral("alpha1.txt")});
        Window w;
        QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.model()->rowCount(), 1);
        QVERIFY(w.log->told.isEmpty());
    }

    void clearResets()
    {
        makeFiles(root(), {QStringLiteral("report.doc"), QStringLiteral("reports.doc"),
                           QStringLiteral("report1.doc")});
        Window w;
        QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.model()->rowCount(), 3);
        w.clickCheckBox(0);
        w.clickCheckBox(2);
        QCOMPARE(w.form.checkedFiles().size(), 2);

        w.child<QPushButton>("cmdClear")->click();
        QCOMPARE(w.model()->rowCount(), 0);
        QCOMPARE(w.headers().size(), 4);
        QCOMPARE(w.child<QLineEdit>("txtIndex")->text(), QStringLiteral("0"));
        QVERIFY(w.form.checkedFiles().isEmpty());
        QCOMPARE(w.child<QProgressBar>("ProgressBar1")->value(), 0);
        QVERIFY(!w.child<QPushButton>("cmdSwitchItems")->isEnabled());
        QCOMPARE(w.form.listMode(), ListMode::Duplicate);

        // Numbers start again at 1 and any row number can be ticked again.
        QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.cell(0, 0), QStringLiteral("1"));
        w.clickCheckBox(0);
        QCOMPARE(w.form.checkedFiles().keys(), QList<quint64>{1});
    }

    void chosenFolderGone_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<bool>("replacedByFile");
        QTest::addColumn<QString>("message");

        QTest::newRow("list, removed") << QByteArray("cmdSearch") << false << "no longer exists";
        QTest::newRow("list, now a file")
            << QByteArray("cmdSearch") << true << "no longer a folder";
        QTest::newRow("find, removed") << QByteArray("cmdDups") << false << "no longer exists";
        QTest::newRow("find, now a file") << QByteArray("cmdDups") << true << "no longer a folder";
    }

    // The folder picked in the tree goes away before the button is pressed: the window says
    // so and the list stays as it was, even where the button would have cleared it first.
    void chosenFolderGone()
    {
        QFETCH(QByteArray, button);
        QFETCH(bool, replacedByFile);
        QFETCH(QString, message);
        makeFiles(root(), {QStringLiteral("report.doc"), QStringLiteral("reports.doc")});
        const QString gone = m_dir->filePath(QStringLiteral("gone"));
        makeFiles(gone, {QStringLiteral("x.txt")});
        Window w;
        QVERIFY(w.list(root()));
        w.clickCheckBox(1);
        w.child<FolderTree>("Dir1")->setPath(gone);
        QVERIFY(QDir(gone).removeRecursively());
        if (replacedByFile)
            makeFiles(m_dir->path(), {QStringLiteral("gone")});

        w.child<QPushButton>(button.constData())->click();
        QVERIFY(!w.form.isWorking());
        QCOMPARE(w.log->told.size(), 1);
        const Box &box = w.log->told.front();
        QCOMPARE(box.title, QStringLiteral("Twinsift"));
        QVERIFY2(box.text.contains(gone) && box.text.contains(message), qPrintable(box.text));
        QCOMPARE(w.form.listMode(), ListMode::Search);
        QCOMPARE(w.headers().size(), 5);
        QCOMPARE(w.model()->rowCount(), 2);
        QVERIFY(w.model()->isChecked(1));
        QCOMPARE(w.form.checkedFiles().size(), 1);
        QCOMPARE(w.form.runningIndex().value(), 2u);
    }

    void unreadableFoldersAreToldOnce_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("verb");
        QTest::addColumn<int>("rows");

        QTest::newRow("list") << QByteArray("cmdSearch") << "listed" << 3;
        QTest::newRow("find") << QByteArray("cmdDups") << "searched" << 1;
    }

    // Folders inside the tree that cannot be read are skipped, and told in one message at the
    // end: the first five by name, then how many more. The walk runs as a user without the
    // right to read them (the tests may run as root, whom permissions do not stop).
    void unreadableFoldersAreToldOnce()
    {
        QFETCH(QByteArray, button);
        QFETCH(QString, verb);
        QFETCH(int, rows);
        makeFiles(root(), {QStringLiteral("a report.doc"), QStringLiteral("b reports.doc"),
                           QStringLiteral("z.txt")});
        QStringList locked;
        // Unlocked again whatever happens, so that a user who is not root can remove them.
        const auto unlock = qScopeGuard([&] {
            for (const QString &folder : std::as_const(locked))
                QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner);
        });
        for (int i = 1; i <= 7; ++i) {
            const QString folder = root() + QStringLiteral("/locked%1").arg(i);
            makeFiles(folder, {QStringLiteral("hidden report.doc")});
            QVERIFY(QFile::setPermissions(folder, {}));
            locked << folder + u'/';
        }
        QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther));
        Window w;
        w.child<FolderTree>("Dir1")->setPath(root());
        QSignalSpy finished(&w.form, &Form1::workFinished);
        {
            const Unprivileged walker; // the worker started by the click takes its rights
            w.child<QPushButton>(button.constData())->click();
        }
        QVERIFY(finished.wait(30000));

        QCOMPARE(w.model()->rowCount(), rows);
        QCOMPARE(w.log->told.size(), 1);
        const QStringList lines = w.log->told.front().text.split(u'\n');
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines.front(),
                 QStringLiteral("7 folders or files could not be read and were not %1:").arg(verb));
        for (int i = 0; i < 5; ++i)
            QVERIFY2(lines[i + 1].startsWith(locked[i] + QStringLiteral(": ")),
                     qPrintable(lines[i + 1]));
        QCOMPARE(lines.back(), QStringLiteral("and 2 more."));
    }

    void escapeStopsTheWork_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("told");

        QTest::newRow("listing") << QByteArray("cmdSearch") << "Listing stopped";
        QTest::newRow("search") << QByteArray("cmdDups") << "Search stopped";
    }

    // Esc, pressed as soon as the work starts, stops a walk far too long to end first: the
    // rows found so far stay, numbered without gaps, and the window says it stopped.
    void escapeStopsTheWork()
    {
        QFETCH(QByteArray, button);
        QFETCH(QString, told);
        constexpr int folders = 40;
        constexpr int perFolder = 500;
        for (int f = 0; f < folders; ++f) {
            const QByteArray folder = QFile::encodeName(root()) + "/" + QByteArray::number(f);
            QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
            for (int i = 0; i < perFolder; ++i) {
                const QByteArray file = folder + '/' + QByteArray::number(i) + ".txt";
                const int fd = ::open(file.constData(), O_CREAT | O_WRONLY, 0644);
                QVERIFY(fd >= 0);
                ::close(fd);
            }
        }
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        w.child<FolderTree>("Dir1")->setPath(root());
        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.child<QPushButton>(button.constData())->click();
        QTest::keyClick(w.view(), Qt::Key_Escape);
        QVERIFY(finished.wait(30000));

        const QString song = w.child<QLineEdit>("txtSong")->text();
        QVERIFY2(song.startsWith(told), qPrintable(song));
        QVERIFY(w.model()->rowCount() < folders * perFolder);
        QCOMPARE(w.form.runningIndex().value(), quint64(w.model()->rowCount()));
        for (int row = 0; row < w.model()->rowCount(); ++row)
            QCOMPARE(w.model()->number(row), quint64(row + 1));
        QVERIFY(w.log->told.isEmpty());
    }

    void pairLimitIsTold_data()
    {
        QTest::addColumn<quint64>("limit");
        QTest::addColumn<int>("searches");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("message");

        QTest::newRow("room for two of three")
            << quint64(2) << 1 << 2
            << "The search found 3 pairs, more than the list can hold: it shows the first 2 of "
               "them.";
        QTest::newRow("a second search on a full list")
            << quint64(3) << 2 << 3
            << "The list already holds 3 rows, the most it can: none of the 3 pairs the search "
               "found could be added. Press Clear first.";
    }

    void pairLimitIsTold()
    {
        QFETCH(quint64, limit);
        QFETCH(int, searches);
        QFETCH(int, rows);
        QFETCH(QString, message);
        makeFiles(root(), {QStringLiteral("report.doc"), QStringLiteral("reports.doc"),
                           QStringLiteral("report1.doc")});
        Window w;
        w.form.setMaxPairRows(limit);
        for (int i = 0; i < searches; ++i)
            QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.model()->rowCount(), rows);
        QCOMPARE(w.form.runningIndex().value(), quint64(rows));
        QCOMPARE(w.log->told.size(), 1);
        const QString told = w.log->told.front().text;
        QVERIFY2(told.startsWith(message), qPrintable(told));
        QCOMPARE(w.log->told.front().icon, QMessageBox::Information);
    }

    void buttonsWaitForTheWork()
    {
        makeFiles(root(), {QStringLiteral("a.txt")});
        Window w;
        w.child<FolderTree>("Dir1")->setPath(root());
        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.child<QPushButton>("cmdSearch")->click();
        QVERIFY(w.form.isWorking());
        for (const char *button : {"cmdSearch", "cmdDups", "cmdClear", "cmdDelete", "cmdSwitchItems"})
            QVERIFY2(!w.child<QPushButton>(button)->isEnabled(), button);
        // Esc asks the work to stop; whatever was found stays numbered in order.
        QTest::keyClick(&w.form, Qt::Key_Escape);
        QVERIFY(finished.wait(30000));
        QVERIFY(!w.form.isWorking());
        QCOMPARE(w.form.runningIndex().value(), quint64(w.model()->rowCount()));
        for (const char *button : {"cmdSearch", "cmdDups", "cmdClear", "cmdDelete"})
            QVERIFY2(w.child<QPushButton>(button)->isEnabled(), button);
    }

private:
    QString root() const { return m_dir->filePath(QStringLiteral("tree")); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestListSearch)
#include "tst_listsearch.moc"
