// SPDX-License-Identifier: MIT
// The window's wiring: its buttons, keys and clicks reach the engine, the jobs and the list.

#include "formfixture.h"

#include "view/musicpanel.h"
#include "view/picturebox.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSlider>

#include <sys/fsuid.h>
#include <sys/stat.h>

using namespace twinsift;
using namespace twinsift::testing;

class TestWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Listings number on, searches append pairs numbered on, Clear starts the numbers over,
    // and listing after a search clears and sets the listing columns.
    void session()
    {
        const Sandbox box({u"a.txt"_s, u"sub/b.txt"_s, u"report.doc"_s, u"reports.doc"_s});
        const QString idle = u"; ticked none; idle: Search Dups Clear Delete"_s;
        Window w;
        QVERIFY(w.list(box.root()) && w.list(box.root()));
        QCOMPARE(w.state(), u"files in 5 columns: 1 .. 8; index 8"_s + idle);
        QCOMPARE(
            w.rows({1, 4}, box.root()).mid(4),
            u"a.txt|a.txt report.doc|report.doc reports.doc|reports.doc b.txt|sub/b.txt"_s.split(
                u' '));
        QVERIFY(w.findDuplicates(box.root()) && w.findDuplicates(box.root()));
        QCOMPARE(w.state(), u"pairs in 4 columns: 1 2; index 2"_s + idle + u" SwitchItems"_s);
        QCOMPARE(w.rows({1, 2, 3}, box.root()).value(1), u"report.doc|reports.doc|91"_s);
        w.clickCheckBox(1);
        w.button("cmdClear")->click();
        QCOMPARE(w.state(), u"pairs in 4 columns: ; index 0"_s + idle);
        QVERIFY(w.list(box.root()));
        QCOMPARE(w.state(), u"files in 5 columns: 1 .. 4; index 4"_s + idle);
        QVERIFY(w.log->told.isEmpty());
    }

    void findDuplicates_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QByteArray>("keywords"); // null: no keyword file
        QTest::addColumn<quint64>("limit");
        QTest::addColumn<int>("searches");
        QTest::addColumn<QString>("pairs");
        QTest::addColumn<QString>("told");
        const QStringList three{u"report.doc"_s, u"report1.doc"_s, u"reports.doc"_s};
        QTest::newRow("a keyword leaves its stem out")
            << QStringList{u"Remix.mp3"_s, u"remix2.mp3"_s, u"My Remix.mp3"_s, u"My Remix2.mp3"_s}
            << "REMIX\n"_ba << Form1::kMaxPairRows << 1 << u"1|My Remix.mp3|My Remix2.mp3"_s
            << QString();
        QTest::newRow("statistics") << three << QByteArray() << Form1::kMaxPairRows << 1
                                    << u"1 2 3"_s << u"Total files = 3\nTotal comparisons = 3\n"_s;
        QTest::newRow("room for two pairs of three")
            << three << QByteArray() << quint64(2) << 1 << u"1 2"_s
            << u"more than the list can hold: it shows the first 2 of them."_s;
        QTest::newRow("a second search on a full list")
            << three << QByteArray() << quint64(3) << 2 << u"1 2 3"_s
            << u"The list already holds 3 rows, the most it can"_s;
    }
    void findDuplicates()
    {
        QFETCH(QStringList, files);
        QFETCH(QByteArray, keywords);
        QFETCH(quint64, limit);
        QFETCH(int, searches);
        QFETCH(QString, pairs);
        QFETCH(QString, told);
        const Sandbox box(files);
        const QString keywordFile = box.dir.filePath(u"Keywords.txt"_s);
        QFile file(keywordFile);
        QVERIFY(keywords.isNull() || (file.open(QIODevice::WriteOnly) && file.write(keywords)));
        file.close();
        Window w(keywordFile);
        w.child<QCheckBox>("chkMsgBox")->setChecked(told.startsWith(u"Total"_s));
        w.form.setMaxPairRows(limit);
        for (int i = 0; i < searches; ++i)
            QVERIFY(w.findDuplicates(box.root()));
        QCOMPARE(w.rows(keywords.isNull() ? std::initializer_list<int>{0}
                                          : std::initializer_list<int>{0, 1, 2},
                        box.root())
                     .join(u' '),
                 pairs);
        QCOMPARE(w.told().size(), told.isEmpty() ? 0 : 1);
        QVERIFY(told.isEmpty() || w.told()[0].startsWith(u"Twinsift: "_s));
        VERIFY_HOLDS(w.told().join(u' '), told);
    }

    // A folder gone before the button is pressed, or one that cannot be read inside the tree:
    // told once, and the list as it was.
    void foldersThatCannotBeWalked()
    {
        const Sandbox box({u"report.doc"_s, u"locked/a report.doc"_s});
        QVERIFY(QFile::setPermissions(box.dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ExeOwner | QFile::ReadOther |
                                                          QFile::ExeOther));
        QVERIFY(QFile::setPermissions(box.path(u"locked"_s), {}));
        Window w;
        w.child<FolderTree>("Dir1")->setPath(box.root());
        ::setfsgid(65534); // taken by the worker, so that permissions stop even root
        ::setfsuid(65534);
        const bool listed = w.press("cmdSearch");
        ::setfsuid(0);
        ::setfsgid(0);
        QVERIFY(listed &&
                QFile::setPermissions(box.path(u"locked"_s),
                                      QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(w.told(), QStringList{u"Twinsift: 1 folder(s) or file(s) could not be read and "
                                       "were not listed:\n"_s +
                                       box.path(u"locked/: Permission denied"_s)});
        w.child<FolderTree>("Dir1")->setPath(box.path(u"locked"_s));
        QVERIFY(QDir(box.path(u"locked"_s)).removeRecursively());
        w.button("cmdDups")->click();
        VERIFY_HOLDS(w.told().value(1), u"no longer exists"_s);
        QCOMPARE(w.state(), u"files in 5 columns: 1; index 1; ticked none; idle: Search Dups "
                            "Clear Delete"_s);
    }

    void stopping_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("closeAfter"); // -1: Esc instead of closing the window
        QTest::addColumn<QString>("said");
        QTest::newRow("Esc, listing") << "cmdSearch"_ba << -1 << u"Listing stopped"_s;
        QTest::newRow("Esc, search") << "cmdDups"_ba << -1 << u"Search stopped"_s;
        for (const int ms : {0, 150, 600, 1500})
            QTest::addRow("closed during a search, after %d ms", ms) << "cmdDups"_ba << ms << "";
        QTest::newRow("closed during a listing") << "cmdSearch"_ba << 0 << "";
    }
    // Esc stops the work and keeps what was found, numbered without gaps. Closing the window
    // stops it too, at once, and tells nothing.
    void stopping()
    {
        QFETCH(QByteArray, button);
        QFETCH(int, closeAfter);
        QFETCH(QString, said);
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        w.form.setMaxPairRows(1000);
        w.child<FolderTree>("Dir1")->setPath(m_big.path());
        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.button(button)->click();
        QVERIFY(w.form.isWorking() && !w.button("cmdClear")->isEnabled());
        if (closeAfter < 0) {
            QTest::keyClick(w.view(), Qt::Key_Escape);
            QVERIFY(finished.wait(30000));
            QVERIFY2(w.song().startsWith(said), qPrintable(w.song()));
            QCOMPARE(w.form.runningIndex().value(), quint64(w.model()->rowCount()));
            const int rows = w.model()->rowCount();
            QVERIFY(rows == 0 || w.model()->number(rows - 1) == quint64(rows));
        } else {
            QTest::qWait(closeAfter);
            w.form.close();
            QVERIFY(!w.form.isWorking());
            QTest::qWait(200);
            QCOMPARE(finished.size(), 0);
        }
        QVERIFY(w.log->told.isEmpty());
    }

    // The keyword file read at the start, and opened by "Edit Keywords", which unticks itself.
    void keywordFile()
    {
        const Sandbox box;
        qunsetenv("USERPROFILE");
        Window unreadable(box.dir.path()); // a folder where the file should be
        VERIFY_HOLDS(unreadable.song(), u"cannot be read"_s);
        VERIFY_HOLDS(unreadable.song(), u"USERPROFILE is not set: starting in "_s);
        Window w;
        QList<QUrl> urls;
        w.form.setUrlOpener([&](const QUrl &url) { return urls << url, false; });
        w.child<QCheckBox>("chkKeywords")->click();
        QVERIFY(!w.child<QCheckBox>("chkKeywords")->isChecked() && urls.isEmpty());
        QCOMPARE(w.told(), QStringList{u"Twinsift: Unable to open."_s});
    }

    // Every way of ticking keeps the same books: ticked numbers and paths, the picked path,
    // the playlist. Space after Ctrl+Home acts on the row that Switch Items then swaps.
    void ticking()
    {
        const Sandbox box({u"a.mp3"_s, u"report.doc"_s, u"reports.doc"_s});
        Window w;
        QVERIFY(w.findDuplicates(box.root()));
        w.clickRow(0, 2); // picks File1, whatever the cell
        QCOMPARE(w.form.checkedFiles(),
                 (QHash<quint64, QByteArray>{{1, box.raw(u"report.doc"_s)}}));
        w.clickRow(0);
        w.clickCheckBox(0);
        QVERIFY(w.form.checkedFiles().isEmpty() && !w.model()->isChecked(0));
        QVERIFY(w.list(box.root()));
        w.view()->setFocus();
        QTest::keyClick(w.view(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(w.view(), Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(w.view(), Qt::Key_Space);
        QCOMPARE(w.form.pickedPath(), box.raw(u"a.mp3"_s));
        QCOMPARE(w.child<MusicPanel>("WMPlayer")->playlist()->count(), 1);
        QCOMPARE(w.view()->selectionModel()->selectedRows().value(0).row(), 0);
        QTest::keyClick(w.view(), Qt::Key_Space);
        QCOMPARE(w.child<MusicPanel>("WMPlayer")->playlist()->count(), 0);
    }

    // Sizes sort as numbers; the arrow goes when the list is cleared, as its order does.
    void sorting()
    {
        const Sandbox box({u"b.txt"_s, u"a.txt"_s, u"c.txt"_s});
        QVERIFY(QFile::resize(box.path(u"a.txt"_s), 10000) &&
                QFile::resize(box.path(u"c.txt"_s), 9000));
        Window w;
        QVERIFY(w.list(box.root()));
        QHeaderView *header = w.view()->horizontalHeader();
        for (const int section : {2, 1, 2})
            header->sectionClicked(section);
        QCOMPARE(w.rows({0}).join(u' '), u"1 3 2"_s); // Filename sorts nothing, but flips
        QVERIFY(header->isSortIndicatorShown() && header->sortIndicatorSection() == 2);
        w.button("cmdClear")->click();
        QVERIFY(!header->isSortIndicatorShown());
    }

    // With "Image" ticked a click reads the file off the GUI thread and ticks nothing; a pipe,
    // which blocks whoever opens it to read, holds up nothing.
    void preview()
    {
        const Sandbox box({u"a.png"_s, u"b.txt"_s});
        QImage image(1200, 800, QImage::Format_RGB32);
        QVERIFY(image.save(box.path(u"a.png"_s), "PNG"));
        Window w;
        QVERIFY(w.list(box.root()));
        QVERIFY(QFile::remove(box.path(u"b.txt"_s)) &&
                ::mkfifo(box.raw(u"b.txt"_s).constData(), 0600) == 0);
        w.child<QCheckBox>("CheckImage")->click();
        w.clickRow(1, 0);
        QTRY_COMPARE(w.song(), u"Can't read image"_s);
        w.clickRow(0, 0);
        QTRY_COMPARE(w.song(), u"Image size(1200 x 800)"_s);
        QCOMPARE(w.child<PictureBox>("Picture1")->pictureSize(), QSizeF(600, 400));
        QVERIFY(w.form.checkedFiles().isEmpty() && w.form.pickedPath().isEmpty());
    }

    // Esc during a delete: the files moved stay moved and are named, the list is made again.
    void stoppedDelete()
    {
        QStringList names;
        for (int i = 0; i < 30; ++i)
            names << u"f%1.txt"_s.arg(i, 2, 10, QChar(u'0'));
        const Sandbox box(names);
        Window w;
        QVERIFY(w.list(box.root()));
        for (int row = 0; row < 30; ++row)
            w.model()->setData(w.model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
        w.form.setTrasher([](const QByteArray &path) {
            QThread::msleep(20);
            return trash::TrashResult{QFile::remove(QFile::decodeName(path)), {}};
        });
        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.button("cmdDelete")->click();
        QTest::qWait(150);
        QTest::keyClick(w.view(), Qt::Key_Escape);
        QVERIFY(finished.wait(30000));
        const int left = w.model()->rowCount();
        QVERIFY(left > 0 && left < 30);
        VERIFY_HOLDS(w.told().join(u' '), u"Deleting stopped: %1 file(s)"_s.arg(30 - left));
        VERIFY_HOLDS(w.told().join(u' '), box.path(u"f00.txt"_s));
        QCOMPARE(w.cell(0, 1), names[30 - left]);
    }

    // Candidates enough for a search of seconds, made once.
    void initTestCase()
    {
        for (int f = 0; f < 9; ++f)
            makeFiles(m_big.path(), [f] {
                QStringList names;
                for (int i = 0; i < 500; ++i)
                    names << u"%1/report%2.doc"_s.arg(f).arg(i);
                return names;
            }());
    }

private:
    QTemporaryDir m_big;
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
