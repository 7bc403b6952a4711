// SPDX-License-Identifier: MIT
// The window's wiring: its buttons, keys and clicks reach the engine, the jobs and the list.

#include "formfixture.h"
#include "hostilefiles.h"

#include "view/musicpanel.h"
#include "view/picturebox.h"

#include <QBuffer>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QTimer>
#include <QTreeView>

#include <dlfcn.h>
#include <sys/fsuid.h>
#include <sys/stat.h>

using namespace twinsift;
using namespace twinsift::testing;

// A timer on the GUI thread that beats every 50 ms, and the longest wait between two beats.
struct Beat {
    Beat()
    {
        QObject::connect(&timer, &QTimer::timeout,
                         [this] { longest = std::max(longest, clock.restart()); });
        clock.start();
        timer.start(50);
    }
    // The longest wait so far; a freeze that has just ended shows at the next beat.
    qint64 longestSoFar()
    {
        QTest::qWait(100);
        return longest;
    }
    QTimer timer;
    QElapsedTimer clock;
    qint64 longest = 0;
};

class TestWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Candidates enough for a search of seconds, made once.
    void initTestCase()
    {
        QStringList names;
        for (int i = 0; i < 7000; ++i)
            names << u"%1/report%2.doc"_s.arg(i % 9).arg(i);
        makeFiles(m_big.path(), names);
    }

    // Listings number on, searches append pairs numbered on, Clear starts the numbers over,
    // and listing after a search clears and sets the listing columns. The pair limit, the
    // statistics box and the keywords reach the search.
    void session()
    {
        const Sandbox box({u"a.txt"_s, u"b/My Remix.doc"_s, u"My Remix2.doc"_s, u"report.doc"_s,
                           u"reports.doc"_s, u"report1.doc"_s});
        QFile keywords(box.dir.filePath(u"K.txt"_s));
        QVERIFY(keywords.open(QIODevice::WriteOnly) && keywords.write("REPORT\n"));
        keywords.close();
        const QString idle = u"; ticked none; idle: Search Dups Clear Delete"_s;
        Window w(keywords.fileName());
        QVERIFY(w.list(box.root()) && w.list(box.root()));
        QCOMPARE(w.state(), u"files in 5 columns: 1 .. 12; index 12"_s + idle);
        QCOMPARE(w.rows({1, 4}, box.root()).value(7), u"My Remix.doc|b/My Remix.doc"_s);
        w.form.setMaxPairRows(1);
        w.child<QCheckBox>("chkMsgBox")->setChecked(true);
        QVERIFY(w.findDuplicates(box.root()) && w.findDuplicates(box.root()));
        QCOMPARE(w.state(), u"pairs in 4 columns: 1; index 1"_s + idle + u" SwitchItems"_s);
        QCOMPARE(w.rows({1, 2}, box.root()), QStringList{u"b/My Remix.doc|My Remix2.doc"_s});
        VERIFY_HOLDS(w.told().join(u'#'), u"Total files = 3\nTotal comparisons = 3\n"_s);
        VERIFY_HOLDS(w.told().join(u'#'), u"The list already holds 1 rows, the most it can"_s);
        w.clickCheckBox(0);
        w.button("cmdClear")->click();
        QCOMPARE(w.state(), u"pairs in 4 columns: ; index 0"_s + idle);
        QVERIFY(w.list(box.root()));
        QCOMPARE(w.state(), u"files in 5 columns: 1 .. 6; index 6"_s + idle);
    }

    // A folder that cannot be read inside the tree is told once at the end; a chosen folder
    // gone before the button is pressed is told, and the list stays as it was.
    void foldersThatCannotBeWalked()
    {
        const Sandbox box({u"report.doc"_s, u"locked/a report.doc"_s});
        QVERIFY(QFile::setPermissions(box.dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ExeOwner | QFile::ReadOther |
                                                          QFile::ExeOther));
        QVERIFY(QFile::setPermissions(box.path(u"locked"_s), {}));
        Window w;
        w.showFolder(box.root());
        ::setfsgid(65534); // taken by the worker, so that permissions stop even root
        ::setfsuid(65534);
        const bool listed = w.press("cmdSearch");
        ::setfsuid(0);
        ::setfsgid(0);
        QVERIFY(listed &&
                QFile::setPermissions(box.path(u"locked"_s),
                                      QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner));
        VERIFY_HOLDS(w.told().value(0), box.path(u"locked/: Permission denied"_s));
        w.showFolder(box.path(u"locked"_s));
        QVERIFY(QDir(box.path(u"locked"_s)).removeRecursively());
        QVERIFY(w.press("cmdDups"));
        VERIFY_HOLDS(w.told().value(1), u"no longer exists"_s);
        QCOMPARE(w.state(), u"files in 5 columns: 1; index 1; ticked none; idle: Search Dups "
                            "Clear Delete"_s);
    }

    void stopping_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("closeAfter"); // -1: Esc instead of closing the window
        QTest::newRow("Esc, listing") << "cmdSearch"_ba << -1;
        QTest::newRow("Esc, search") << "cmdDups"_ba << -1;
        QTest::newRow("closed during a listing") << "cmdSearch"_ba << 0;
        for (const int ms : {0, 150, 600, 1500})
            QTest::addRow("closed during a search, after %d ms", ms) << "cmdDups"_ba << ms;
    }
    // Esc stops the work and keeps what was found, numbered without gaps. Closing the window
    // stops it too, at once, and tells nothing.
    void stopping()
    {
        QFETCH(QByteArray, button);
        QFETCH(int, closeAfter);
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        w.form.setMaxPairRows(closeAfter < 0 ? 1'000'000 : 1000); // Esc comes in the pair loop
        w.showFolder(m_big.path());
        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.button(button)->click();
        QVERIFY(w.form.isWorking() && !w.button("cmdClear")->isEnabled());
        if (closeAfter < 0) {
            // A search is stopped in its pair loop; a listing at once, in the look at its folder.
            if (button == "cmdDups")
                QTRY_VERIFY(w.child<QLabel>("lblWorking")->text().endsWith(u'%'));
            QTest::keyClick(w.view(), Qt::Key_Escape);
            QVERIFY(finished.wait(30000));
            VERIFY_HOLDS(w.song().toLower(), u"stopped: "_s);
            QVERIFY(w.child<QLabel>("lblWorking")->text() != u"100%"_s); // never done when stopped
            const int rows = w.model()->rowCount();
            QVERIFY(rows == 0 || w.model()->number(rows - 1) == quint64(rows));
            // The note and the running text go once work starts again and ends.
            QVERIFY(w.press("cmdSearch"));
            QVERIFY(!w.song().contains(u"stopped"_s, Qt::CaseInsensitive));
            VERIFY_HOLDS(w.child<QLabel>("lblWorking")->text(), u" file"_s);
        } else {
            QTest::qWait(closeAfter);
            w.form.close();
            QVERIFY(!w.form.isWorking());
            QTest::qWait(200);
            QCOMPARE(finished.size(), 0);
        }
        QVERIFY2(w.log->told.isEmpty(), qPrintable(w.told().join(u'#')));
    }

    // The start: an unreadable keyword file is told; a typed folder is taken from the one
    // shown, without the spaces pasted around it; one on another volume moves Drive1 there. "Edit
    // Keywords" opens the file and unticks itself.
    void start()
    {
        const Sandbox box;
        qputenv("USERPROFILE", "/nonexistent");
        Window w(box.dir.path()); // a folder where the file should be
        VERIFY_HOLDS(w.song(), u"cannot be read"_s);
        VERIFY_HOLDS(w.song(), u"USERPROFILE (/nonexistent) is not a folder"_s);
        QCOMPARE(w.child<QLabel>("lblWorking")->text(), QString());        // not "Starting"
        QAction *more = w.child<QLineEdit>("txtSong")->actions().value(0); // it does not fit
        QVERIFY(more && more->isVisible());
        more->trigger();
        QCOMPARE(w.told(), QStringList{u"Twinsift: "_s + w.song()});
        w.log->told.clear();
        makeFiles(box.root(), {u"x"_s});
        w.showFolder(box.dir.path());
        w.child<QLineEdit>("folderPath")->setText(u"  tree "_s); // pasted, relative
        QTest::keyClick(w.child<QLineEdit>("folderPath"), Qt::Key_Return);
        QTRY_COMPARE(w.child<FolderTree>("Dir1")->path(), box.root());
        w.showFolder(u"/proc/self"_s);
        QCOMPARE(w.child<QComboBox>("Drive1")->currentText(), u"/proc"_s);
        // Ctrl+Z reaches the window's restore from the folder field too; Tab leaves the list for
        // the next control in the designed order.
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QShortcut *undo = nullptr;
        for (QShortcut *shortcut : w.form.findChildren<QShortcut *>())
            undo = shortcut->key() == QKeySequence::Undo ? shortcut : undo;
        QSignalSpy restore(undo, &QShortcut::activated);
        w.child<QLineEdit>("folderPath")->setFocus();
        QTest::keyClick(w.child<QLineEdit>("folderPath"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(restore.size(), 1);
        w.view()->setFocus();
        QTest::keyClick(w.view(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.button("cmdClear"));
        w.form.setUrlOpener([](const QUrl &) { return false; });
        w.child<QCheckBox>("chkKeywords")->click();
        QVERIFY(!w.child<QCheckBox>("chkKeywords")->isChecked());
        QTRY_COMPARE(w.told(), QStringList{u"Twinsift: Unable to open."_s});
    }

    void layout_data()
    {
        QTest::addColumn<QSize>("size"); // invalid: maximised
        QTest::newRow("designed") << QSize(683, 512);
        QTest::newRow("1280 x 800") << QSize(1280, 800);
        QTest::newRow("maximised") << QSize();
    }
    // At the designed size (and 8 point text) every control stands where the form puts it;
    // a larger window goes to the list, and the controls below and beside it follow the edges.
    void layout()
    {
        QFETCH(QSize, size);
        Window w;
        QFont eight = w.form.font();
        eight.setPointSize(8);
        w.form.setFont(eight);
        QTRY_COMPARE(w.form.minimumSize(), QSize(683, 512));
        if (size.isValid())
            w.form.resize(size);
        else
            w.form.showMaximized();
        QTRY_VERIFY(size.isValid() ? w.form.size() == size : w.form.width() > 683);
        const int wider = w.form.width() - 683;
        const int taller = w.form.height() - 512;
        const struct {
            const char *name;
            QRect place;
            int right, down, wide, tall; // how much of the extra room each takes
        } places[]{{"ListView1", {160, 8, 520, 425}, 0, 0, 1, 1},
                   {"Dir1", {8, 32, 145, 327}, 0, 0, 0, 1},
                   {"Frame2", {8, 432, 137, 41}, 0, 1, 0, 0},
                   {"txtSong", {320, 440, 201, 33}, 0, 1, 1, 0},
                   {"WMPlayer", {528, 440, 153, 65}, 1, 1, 0, 0},
                   {"cmdDelete", {424, 480, 97, 25}, 0, 1, 0, 0},
                   {"Slider1", {32, 16, 73, 17}, 0, 0, 0, 0}};
        for (const auto &p : places)
            QCOMPARE(w.child(p.name)->geometry(),
                     p.place.translated(p.right * wider, p.down * taller)
                         .adjusted(0, 0, p.wide * wider, p.tall * taller));
    }

    // Clicks tick and pick File1; after Ctrl+Home, Space and Switch Items act on one row; the
    // menu key's Open acts on the cell the keyboard is on; sizes sort as numbers and the arrow
    // goes with the order when the list is cleared.
    void listWork()
    {
        const Sandbox box({u"report.doc"_s, u"reports.doc"_s});
        QVERIFY(QFile::resize(box.path(u"report.doc"_s), 10000));
        Window w;
        QVERIFY(w.findDuplicates(box.root()));
        w.clickRow(0, 2);
        QCOMPARE(w.form.checkedFiles(),
                 (QHash<quint64, QByteArray>{{1, box.raw(u"report.doc"_s)}}));
        w.view()->setFocus();
        QTest::keyClick(w.view(), Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(w.view(), Qt::Key_Space);
        w.button("cmdSwitchItems")->click();
        QVERIFY(w.form.checkedFiles().isEmpty() && w.cell(0, 1) == box.path(u"reports.doc"_s));
        QStringList opened;
        w.form.setUrlOpener([&](const QUrl &url) { return opened << url.fileName(), true; });
        w.view()->setCurrentIndex(w.model()->index(0, 2));
        QTest::keyClick(w.view(), Qt::Key_F10, Qt::ShiftModifier); // as the menu key
        w.form.findChild<QMenu *>()->actions().front()->trigger();
        QTRY_COMPARE(opened, QStringList{u"report.doc"_s});
        QVERIFY(w.list(box.root()));
        QHeaderView *header = w.view()->horizontalHeader();
        for (const int section : {1, 2})
            header->sectionClicked(section);
        QCOMPARE(w.rows({0}).join(u' '), u"2 1"_s); // Filename sorts nothing, but flips
        header->sectionClicked(2);
        QCOMPARE(w.rows({0}).join(u' '), u"1 2"_s);
        w.button("cmdClear")->click();
        QVERIFY(!header->isSortIndicatorShown());
        QFont large = w.view()->font(); // rows grow with the font, so no text is cut
        large.setPointSize(large.pointSize() * 3);
        w.view()->setFont(large);
        QCOMPARE(w.view()->verticalHeader()->defaultSectionSize(),
                 QFontMetrics(large).height() + 4);
    }

    // With "Image" ticked a click reads the file off the GUI thread and ticks nothing; a pipe,
    // which blocks whoever opens it to read, holds up nothing.
    void preview()
    {
        const Sandbox box({u"a.png"_s, u"b.txt"_s});
        QVERIFY(QImage(1200, 800, QImage::Format_RGB32).save(box.path(u"a.png"_s), "PNG"));
        Window w;
        QVERIFY(w.list(box.root()) && QFile::remove(box.path(u"b.txt"_s)) &&
                ::mkfifo(box.raw(u"b.txt"_s).constData(), 0600) == 0);
        w.child<QCheckBox>("CheckImage")->click();
        w.clickRow(1, 0);
        QTRY_COMPARE(w.song(), u"Can't read image: not a file"_s);
        w.clickRow(0, 0);
        QTRY_COMPARE(w.song(), u"Image size(1200 x 800)"_s);
        QCOMPARE(w.child<PictureBox>("Picture1")->pictureSize(), QSizeF(600, 400));
        QVERIFY(w.form.checkedFiles().isEmpty() && w.form.pickedPath().isEmpty());
    }

    // Esc during a delete: the files moved stay moved and are named, the list is made again.
    void stoppedDelete()
    {
        const Sandbox box({u"f0.txt"_s, u"f1.txt"_s, u"f2.txt"_s, u"f3.txt"_s, u"f4.txt"_s});
        Window w;
        QVERIFY(w.list(box.root()));
        for (int row = 0; row < 5; ++row)
            w.clickCheckBox(row);
        w.form.setTrasher([](const ListedFile &file) {
            QThread::msleep(100);
            return trash::TrashResult{QFile::remove(QFile::decodeName(file.path)), {}, {}};
        });
        QSignalSpy finished(&w.form, &Form1::workFinished);
        w.button("cmdDelete")->click();
        QTest::qWait(150);
        QTest::keyClick(w.view(), Qt::Key_Escape);
        QVERIFY(finished.wait(30000));
        const int left = w.model()->rowCount();
        QVERIFY(left > 0 && left < 5 && w.cell(0, 1) == u"f%1.txt"_s.arg(5 - left));
        VERIFY_HOLDS(w.told().join(u' '), u"%1 file(s) had been moved"_s.arg(5 - left));
        VERIFY_HOLDS(w.told().join(u' '), box.path(u"f0.txt"_s));
    }

    void answering_data()
    {
        QTest::addColumn<QString>("hostile");
        QTest::addColumn<QString>("told"); // in the message line, once the work is done
        QTest::newRow("a pipe named .mp3, ticked") << u"pipe"_s << u"not a file that can be"_s;
        QTest::newRow("20 damaged MP3s, ticked") << u"damaged"_s << u"Can't play "_s;
        QTest::newRow("a 16000 x 16000 JPEG, previewed") << u"jpeg"_s << u"16000 x 16000"_s;
    }
    // Files that make the player or the preview work long, or would block whoever opens
    // them, hold up neither: a timer on the GUI thread keeps its 50 ms beat.
    void answering()
    {
        QFETCH(QString, hostile);
        QFETCH(QString, told);
        QStringList names;
        for (int i = 0; i < (hostile == u"damaged"_s ? 20 : 1); ++i)
            names << u"s%1.%2"_s.arg(i).arg(hostile == u"jpeg"_s ? u"jpg"_s : u"mp3"_s);
        const Sandbox box(names);
        QByteArray noise(300'000, '\0');
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char(i * 7919 % 251);
        for (const QString &name : std::as_const(names))
            QVERIFY(hostile::writeFile(box.path(name), hostile == u"jpeg"_s ? jpeg16k() : noise));
        Window w;
        QVERIFY(w.list(box.root()));
        if (hostile == u"pipe"_s)
            QVERIFY(QFile::remove(box.path(names[0])) &&
                    ::mkfifo(box.raw(names[0]).constData(), 0600) == 0);
        Beat beat;
        QSignalSpy troubles(w.child<MusicPanel>("WMPlayer"), &MusicPanel::problem);
        if (hostile == u"jpeg"_s) {
            w.child<QCheckBox>("CheckImage")->click();
            w.clickRow(0);
        } else {
            for (int row = 0; row < names.size(); ++row)
                w.clickCheckBox(row);
        }
        QTRY_VERIFY_WITH_TIMEOUT(w.song().contains(told), 20000);
        if (hostile == u"damaged"_s) { // the back end's later errors about its state say less
            QTest::qWait(300);
            QCOMPARE(troubles.size(), 1);
        }
        QVERIFY2(beat.longestSoFar() < 200, qPrintable(QString::number(beat.longest)));
        QCOMPARE(w.child<MusicPanel>("WMPlayer")->playlist()->count(),
                 hostile == u"damaged"_s ? 20 : 0);
    }

    // A mount where every call takes seconds (bench/slowfs.c, preloaded by the test entry
    // tst_window_slowfs): the window starts in such a folder and is worked there from end to
    // end; its GUI thread keeps the beat and makes none of those calls (the shim logs any).
    void slowMount()
    {
        const auto slowCalls =
            reinterpret_cast<unsigned long (*)()>(dlsym(RTLD_DEFAULT, "slowfs_calls"));
        if (!slowCalls)
            QSKIP("needs bench/slowfs.c preloaded, as the tst_window_slowfs entry does");
        const Sandbox box({u"song.mp3"_s});
        QVERIFY(QImage(64, 64, QImage::Format_RGB32).save(box.path(u"picture.png"_s)));
        makeFiles(box.dir.path(), {u"Keywords.txt"_s});
        const QTemporaryDir logs;
        const QString log = logs.filePath(u"main-thread.log"_s);
        qputenv("SLOWFS_LOG", QFile::encodeName(log));
        qputenv("SLOWFS_GUARD_MAIN", "1");
        qputenv("SLOWFS_DIR", QFile::encodeName(box.dir.path()));
        const auto cleanUpFast = qScopeGuard([] { qputenv("SLOWFS_DIR", ""); });
        const unsigned long before = slowCalls();
        const int patience = qEnvironmentVariableIntValue("SLOWFS_DELAY_US") / 25; // 40 calls
        Beat beat;
        Window w(box.dir.filePath(u"Keywords.txt"_s));
        auto *field = w.child<QLineEdit>("folderPath");
        auto *tree = w.child<QTreeView>("folderTree");
        QStringList opened;
        w.form.setUrlOpener([&](const QUrl &url) { return opened << url.fileName(), true; });
        const struct {
            const char *step;
            std::function<void()> act;
            std::function<bool()> done;
        } steps[]{
            {"start there", [] {},
             [&] {
                 return !w.form.isWorking() && field->text() == box.dir.path() &&
                        w.child<QLabel>("lblWorking")->text().isEmpty(); // not "Starting"
             }},
            {"open it in the tree", [&] { tree->expand(tree->currentIndex()); },
             [&] { return tree->model()->index(0, 0, tree->currentIndex()).data() == u"tree"_s; }},
            {"pick a folder in the tree",
             [&] {
                 const QModelIndex sub = tree->model()->index(0, 0, tree->currentIndex());
                 tree->scrollTo(sub);
                 QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                                   tree->visualRect(sub).center());
             },
             [&] { return w.child<FolderTree>("Dir1")->path() == box.root(); }},
            {"type a folder there",
             [&] { field->setText(u".."_s), QTest::keyClick(field, Qt::Key_Return); },
             [&] { return w.child<FolderTree>("Dir1")->path() == box.dir.path(); }},
            {"List Files", [&] { w.button("cmdSearch")->click(); },
             [&] { return !w.form.isWorking() && w.model()->rowCount() == 3; }},
            {"Find Duplicates, Esc",
             [&] {
                 w.button("cmdDups")->click();
                 QVERIFY(w.form.isWorking());
                 QTest::keyClick(w.view(), Qt::Key_Escape);
             },
             [&] { return !w.form.isWorking() && w.song().startsWith(u"Stopped"_s); }},
            {"Open",
             [&] {
                 w.view()->setCurrentIndex(w.model()->index(1, 1)),
                     QTest::keyClick(w.view(), Qt::Key_Return);
             },
             [&] { return opened.contains(u"picture.png"_s); }},
            {"Edit Keywords", [&] { w.child<QCheckBox>("chkKeywords")->click(); },
             [&] { return opened.contains(u"Keywords.txt"_s); }},
            {"tick an MP3", [&] { w.clickCheckBox(2); },
             [&] { return w.child<MusicPanel>("WMPlayer")->playlist()->count() == 1; }},
            {"preview a picture", [&] { w.child<QCheckBox>("CheckImage")->click(), w.clickRow(1); },
             [&] { return w.song() == u"Image size(64 x 64)"_s; }},
        };
        for (const auto &step : steps) {
            step.act();
            QTRY_VERIFY2_WITH_TIMEOUT(step.done(), step.step, patience);
            QVERIFY2(
                beat.longestSoFar() < 200,
                qPrintable(u"%1: %2 ms"_s.arg(QLatin1StringView(step.step)).arg(beat.longest)));
            beat.longest = 0;
        }
        QVERIFY(slowCalls() > before + 20);
        QFile guard(log);
        QVERIFY2(!guard.exists(),
                 guard.open(QIODevice::ReadOnly) ? guard.readAll().constData() : "");
    }

private:
    // A JPEG whose header claims 16000 x 16000 pixels over the data of a small picture.
    static QByteArray jpeg16k()
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        QImage small(64, 64, QImage::Format_RGB32);
        small.fill(Qt::darkCyan);
        if (!buffer.open(QIODevice::WriteOnly) || !small.save(&buffer, "JPEG"))
            return {};
        const qsizetype frame = bytes.indexOf("\xff\xc0");
        const char size[] = {char(0x3e), char(0x80), char(0x3e), char(0x80)};
        return bytes.replace(frame + 5, 4, size, 4);
    }

    QTemporaryDir m_big;
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
