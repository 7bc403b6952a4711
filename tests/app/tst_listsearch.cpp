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

// While it lives, threads started from this one take the file rights of "nobody", so that
// permissions stop them even when the tests run as root.
struct Unprivileged {
    const bool root = ::geteuid() == 0;
    Unprivileged()
    {
        if (root) {
            ::setfsgid(65534);
            ::setfsuid(65534);
        }
    }
    ~Unprivileged()
    {
        if (root) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
};

struct Search {
    QStringList files{};
    QStringList pairs{};
    int slider = 60;
    QByteArray keywords{};
    QString statistics{}; // the counts told when the box is ticked
    quint64 limit = twinsift::Form1::kMaxPairRows;
    int searches = 1;
    QString told{}; // what the window says of the pairs past the limit
};
Q_DECLARE_METATYPE(Search)

class TestListSearch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // One session: listings number on, searches append pairs numbered on, Clear starts the
    // numbers over, and listing after a search clears and sets the listing columns.
    void session()
    {
        const Sandbox box({u"a.txt"_s, u"sub/b.txt"_s, u"report.doc"_s, u"reports.doc"_s});
        const QString idle = u"; ticked none; idle: Search Dups Clear Delete"_s;
        Window w;
        QVERIFY(w.list(box.root()));
        QVERIFY(w.list(box.root()));
        QCOMPARE(w.state(), u"files in 5 columns: 1 .. 8; index 8"_s + idle);
        // Each folder in name order, a sub-folder's files where the sub-folder stands.
        QCOMPARE(
            w.rows({1, 2, 4}, box.root()).mid(4),
            u"a.txt|4|a.txt report.doc|4|report.doc reports.doc|4|reports.doc b.txt|4|sub/b.txt"_s
                .split(u' '));
        QCOMPARE(w.child<QLabel>("lblWorking")->text(), u"4 files"_s); // of this listing
        QCOMPARE(w.view()->columnWidth(4), 300); // listing mode was set: start-up widths stay

        QVERIFY(w.findDuplicates(box.root()));
        QVERIFY(w.findDuplicates(box.root()));
        QCOMPARE(w.state(), u"pairs in 4 columns: 1 2; index 2"_s + idle + u" SwitchItems"_s);
        QCOMPARE(w.headers(), u"No.|File1|File2|Similarity(%)"_s.split(u'|'));
        QCOMPARE(w.rows({0, 1, 2, 3}, box.root()),
                 (QStringList{u"1|report.doc|reports.doc|91"_s, u"2|report.doc|reports.doc|91"_s}));
        QCOMPARE(w.child<QProgressBar>("ProgressBar1")->value(), 100);
        QCOMPARE(w.child<QLabel>("lblWorking")->text(), u"100%"_s);

        w.clickCheckBox(0);
        w.clickCheckBox(1);
        QCOMPARE(w.form.checkedFiles().size(), 2);
        w.button("cmdClear")->click();
        QCOMPARE(w.state(), u"pairs in 4 columns: ; index 0"_s + idle);
        QCOMPARE(w.child<QProgressBar>("ProgressBar1")->value(), 0);
        // Numbers start again at 1 and any row number can be ticked again.
        QVERIFY(w.findDuplicates(box.root()));
        w.clickCheckBox(0);
        QCOMPARE(w.state(), u"pairs in 4 columns: 1; index 1; ticked 1; idle: Search Dups Clear "
                            "Delete SwitchItems"_s);

        QVERIFY(w.list(box.root()));
        QCOMPARE(w.state(), u"files in 5 columns: 1 .. 4; index 4"_s + idle);
        QList<int> widths;
        for (int column = 0; column < 5; ++column)
            widths << w.view()->columnWidth(column);
        QCOMPARE(widths, (QList<int>{100, 300, 90, 100, 550}));
        QCOMPARE(w.model()->headerData(3, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                     Qt::AlignHorizontal_Mask,
                 int(Qt::AlignRight));
        QVERIFY(w.log->told.isEmpty()); // no statistics unless asked for
    }

    void findDuplicates_data()
    {
        QTest::addColumn<Search>("search");
        const QStringList alike{u"abcdef.txt"_s, u"abcdxy.txt"_s};
        QTest::newRow("similarity equal to the threshold: no pair") << Search{.files = alike};
        QTest::newRow("similarity above the threshold")
            << Search{.files = alike, .pairs = {u"1|abcdef.txt|abcdxy.txt|60"_s}, .slider = 59};
        QTest::newRow("a keyword leaves its stem out") << Search{
            .files = {u"Remix.mp3"_s, u"remix2.mp3"_s, u"My Remix.mp3"_s, u"My Remix2.mp3"_s},
            .pairs = {u"1|My Remix.mp3|My Remix2.mp3|100"_s},
            .keywords = "REMIX\n"};
        QTest::newRow("statistics, three candidates")
            << Search{.files = {u"alpha.txt"_s, u"beta.txt"_s, u"gamma.txt"_s},
                      .statistics = u"Total files = 3\nTotal comparisons = 3\n"_s};
        QTest::newRow("statistics, one candidate") << Search{
            .files = {u"alpha.txt"_s}, .statistics = u"Total files = 1\nTotal comparisons = 0\n"_s};
        QTest::newRow("statistics, no candidate") << Search{
            .files = {u"1.txt"_s}, .statistics = u"Total files = 0\nTotal comparisons = 0\n"_s};
        const QStringList three{u"report.doc"_s, u"report1.doc"_s, u"reports.doc"_s};
        const QStringList found{u"1|report.doc|report1.doc|100"_s, u"2|report.doc|reports.doc|91"_s,
                                u"3|report1.doc|reports.doc|91"_s};
        QTest::newRow("room for two pairs of three")
            << Search{.files = three,
                      .pairs = found.mid(0, 2),
                      .limit = 2,
                      .told = u"The search found 3 pairs, more than the list can hold: it shows "
                              "the first 2 of them."_s};
        QTest::newRow("a second search on a full list")
            << Search{.files = three,
                      .pairs = found,
                      .limit = 3,
                      .searches = 2,
                      .told = u"The list already holds 3 rows, the most it can: none of the 3 "
                              "pairs the search found could be added. Press Clear first."_s};
    }

    void findDuplicates()
    {
        QFETCH(Search, search);
        const Sandbox box(search.files);
        QFile keywords(box.dir.filePath(u"Keywords.txt"_s));
        QVERIFY(search.keywords.isEmpty() || (keywords.open(QIODevice::WriteOnly) &&
                                              keywords.write(search.keywords) && keywords.flush()));
        Window w(keywords.fileName());
        w.child<QSlider>("Slider1")->setValue(search.slider);
        w.child<QCheckBox>("chkMsgBox")->setChecked(!search.statistics.isEmpty());
        w.form.setMaxPairRows(search.limit);
        for (int i = 0; i < search.searches; ++i)
            QVERIFY(w.findDuplicates(box.root()));
        QCOMPARE(w.rows({0, 1, 2, 3}, box.root()), search.pairs);
        QCOMPARE(w.form.runningIndex().value(), quint64(search.pairs.size()));
        QVERIFY(w.button("cmdSwitchItems")->isEnabled());
        if (!search.statistics.isEmpty()) {
            VERIFY_TOLD_ONCE(w,
                             u"Twinsift: "_s + search.statistics + u"Elapsed time in seconds - "_s);
            QCOMPARE(w.told()[0].count(u'\n'), 2);
        } else if (!search.told.isEmpty()) {
            VERIFY_TOLD_ONCE(w, u"Twinsift: "_s + search.told);
            QCOMPARE(w.log->told[0].icon, QMessageBox::Information);
        } else {
            QVERIFY(w.log->told.isEmpty());
        }
    }

    void chosenFolderGone_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<bool>("replacedByFile");
        QTest::addColumn<QString>("message");
        for (const char *button : {"cmdSearch", "cmdDups"}) {
            QTest::addRow("%s, removed", button)
                << QByteArray(button) << false << u"no longer exists"_s;
            QTest::addRow("%s, now a file", button)
                << QByteArray(button) << true << u"no longer a folder"_s;
        }
    }

    // The folder picked in the tree goes away before the button is pressed: the window says
    // so and the list stays as it was, even where the button would have cleared it first.
    void chosenFolderGone()
    {
        QFETCH(QByteArray, button);
        QFETCH(bool, replacedByFile);
        QFETCH(QString, message);
        const Sandbox box({u"report.doc"_s, u"reports.doc"_s});
        const QString gone = box.dir.filePath(u"gone"_s);
        makeFiles(gone, {u"x.txt"_s});
        Window w;
        QVERIFY(w.list(box.root()));
        w.clickCheckBox(1);
        w.child<FolderTree>("Dir1")->setPath(gone);
        QVERIFY(QDir(gone).removeRecursively());
        if (replacedByFile)
            makeFiles(box.dir.path(), {u"gone"_s});

        w.button(button)->click();
        VERIFY_TOLD_ONCE(w, gone, message);
        QCOMPARE(w.state(),
                 u"files in 5 columns: 1 2; index 2; ticked 2; idle: Search Dups Clear Delete"_s);
    }

    void unreadableFoldersAreToldOnce_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("verb");
        QTest::addColumn<int>("rows");
        QTest::newRow("list") << "cmdSearch"_ba << u"listed"_s << 3;
        QTest::newRow("find") << "cmdDups"_ba << u"searched"_s << 1;
    }

    // Folders inside the tree that cannot be read are skipped, and told in one message at the
    // end: the first five by name, then how many more.
    void unreadableFoldersAreToldOnce()
    {
        QFETCH(QByteArray, button);
        QFETCH(QString, verb);
        QFETCH(int, rows);
        const Sandbox box({u"a report.doc"_s, u"b reports.doc"_s, u"z.txt"_s});
        const auto rwx = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QStringList locked;
        // Unlocked again whatever happens, so that a user who is not root can remove them.
        const auto unlock = qScopeGuard([&] {
            for (const QString &folder : std::as_const(locked))
                QFile::setPermissions(folder, rwx);
        });
        for (int i = 1; i <= 7; ++i) {
            locked << box.path(u"locked%1/"_s.arg(i));
            makeFiles(locked.back(), {u"hidden report.doc"_s});
            QVERIFY(QFile::setPermissions(locked.back(), {}));
        }
        QVERIFY(QFile::setPermissions(box.dir.path(), rwx | QFile::ReadOther | QFile::ExeOther));
        Window w;
        w.child<FolderTree>("Dir1")->setPath(box.root());
        QSignalSpy finished(&w.form, &Form1::workFinished);
        {
            const Unprivileged walker; // the worker started by the click takes its rights
            w.button(button)->click();
        }
        QVERIFY(finished.wait(30000));

        QCOMPARE(w.model()->rowCount(), rows);
        QStringList lines{u"7 folders or files could not be read and were not %1:"_s.arg(verb)};
        for (int i = 0; i < 5; ++i)
            lines << locked[i] + u": Permission denied"_s;
        QCOMPARE(w.told(), QStringList{u"Twinsift: "_s + lines.join(u'\n') + u"\nand 2 more."_s});
    }

    void escapeStopsTheWork_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("told");
        QTest::newRow("listing") << "cmdSearch"_ba << u"files in 5"_s << u"Listing stopped"_s;
        QTest::newRow("search") << "cmdDups"_ba << u"pairs in 4"_s << u"Search stopped"_s;
    }

    // While the work runs no button can start more or change the list. Esc, pressed as soon
    // as the work starts, stops a walk far too long to end first: the rows found so far stay,
    // numbered without gaps, and the window says it stopped.
    void escapeStopsTheWork()
    {
        QFETCH(QByteArray, button);
        QFETCH(QString, list);
        QFETCH(QString, told);
        const Sandbox box;
        constexpr int folders = 40, perFolder = 500;
        for (int f = 0; f < folders; ++f) {
            const QByteArray folder = QFile::encodeName(box.path(QString::number(f))) + '/';
            QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
            for (int i = 0; i < perFolder; ++i) {
                const QByteArray file = folder + QByteArray::number(i) + ".txt";
                QCOMPARE(::close(::open(file.constData(), O_CREAT | O_WRONLY, 0644)), 0);
            }
        }
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        w.child<FolderTree>("Dir1")->setPath(box.root());
        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.button(button)->click();
        QCOMPARE(w.state(), list + u" columns: ; index 0; ticked none; working: "_s);
        QTest::keyClick(w.view(), Qt::Key_Escape);
        QVERIFY(finished.wait(30000));

        VERIFY_HOLDS(w.state(), u"idle: Search Dups Clear Delete"_s);
        QVERIFY2(w.child<QLineEdit>("txtSong")->text().startsWith(told),
                 qPrintable(w.child<QLineEdit>("txtSong")->text()));
        QVERIFY(w.model()->rowCount() < folders * perFolder);
        QCOMPARE(w.form.runningIndex().value(), quint64(w.model()->rowCount()));
        for (int row = 0; row < w.model()->rowCount(); ++row)
            QCOMPARE(w.model()->number(row), quint64(row + 1));
        QVERIFY(w.log->told.isEmpty());
    }
};

QTEST_MAIN(TestListSearch)
#include "tst_listsearch.moc"
