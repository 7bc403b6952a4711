// SPDX-License-Identifier: MIT
// "&List Files", "&Find Duplicates" and "&Clear" through the real window.

#include "formfixture.h"

#include <QLabel>

using namespace twinsift;
using namespace twinsift::testing;

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

    void unreadableFolderIsReported()
    {
        Window w;
        const QString missing = root() + QStringLiteral("/gone");
        QVERIFY(QDir().mkpath(missing));
        w.child<FolderTree>("Dir1")->setPath(missing);
        QVERIFY(QDir(missing).removeRecursively());
        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.child<QPushButton>("cmdSearch")->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(w.model()->rowCount(), 0);
        QCOMPARE(w.log->told.size(), 1);
        QVERIFY2(w.log->told.front().text.contains(missing), qPrintable(w.log->told.front().text));
        QCOMPARE(w.log->told.front().title, QStringLiteral("Twinsift"));
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
