// SPDX-License-Identifier: MIT
// The desktop's conveniences on the result list: a row's context menu and the keys that work
// the list (Space, Enter, Delete, the access keys), through the real window.

#include "formfixture.h"

#include "view/musicpanel.h"
#include "view/rowmenu.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>

#include <fcntl.h>
#include <unistd.h>

using namespace twinsift;
using namespace twinsift::testing;

namespace {
const QByteArray kOddName = "/caf\xe9.txt";
}

class TestRowKeys : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("HOMEDRIVE", "/");
        qputenv("USERPROFILE", QFile::encodeName(m_dir.path()));
    }

    // QDir cannot remove a name that is not UTF-8.
    void cleanup()
    {
        ::unlink(QByteArray(rawRoot() + kOddName).constData());
        QVERIFY(QDir(root()).removeRecursively());
    }

    void init()
    {
        makeFiles(root(), {QStringLiteral("report.doc"), QStringLiteral("reports.doc"),
                           QStringLiteral("sub/song.mp3")});
        // A name that is not UTF-8 must reach the opener byte for byte.
        const int fd = ::open(QByteArray(rawRoot() + kOddName).constData(),
                              O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
    }

    void rowMenu_data()
    {
        QTest::addColumn<bool>("pairs");
        QTest::addColumn<int>("column");
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<QByteArray>("url");       // what the opener was given, if anything
        QTest::addColumn<QString>("clipboard");    // what was copied, if anything

        const QByteArray base = "file://" + rawRoot().toPercentEncoding("/");
        const QString text = root();
        QTest::newRow("list: open") << false << 1 << QByteArray("openFile")
                                    << base + "/caf%E9.txt" << QString();
        QTest::newRow("list: open containing folder")
            << false << 4 << QByteArray("openFolder") << base + "/" << QString();
        QTest::newRow("list: copy path") << false << 2 << QByteArray("copyPath") << QByteArray()
                                         << text + QStringLiteral("/caf\uFFFD.txt");
        QTest::newRow("pair: open on File1") << true << 1 << QByteArray("openFile")
                                             << base + "/report.doc" << QString();
        QTest::newRow("pair: open on No.") << true << 0 << QByteArray("openFile")
                                           << base + "/report.doc" << QString();
        QTest::newRow("pair: open on File2") << true << 2 << QByteArray("openFile")
                                             << base + "/reports.doc" << QString();
        QTest::newRow("pair: copy both paths")
            << true << 3 << QByteArray("copyPath") << QByteArray()
            << text + QStringLiteral("/report.doc\n") + text + QStringLiteral("/reports.doc");
    }

    // The menu acts on the row under the pointer, and never ticks or unticks it, even when
    // it was asked for over the row's check box.
    void rowMenu()
    {
        QFETCH(bool, pairs);
        QFETCH(int, column);
        QFETCH(QByteArray, action);
        QFETCH(QByteArray, url);
        QFETCH(QString, clipboard);
        Window w;
        QList<QUrl> urls;
        w.form.setUrlOpener([&](const QUrl &opened) {
            urls << opened;
            return true;
        });
        QVERIFY(pairs ? w.findDuplicates(root()) : w.list(root()));
        QGuiApplication::clipboard()->clear();

        const QPoint at = column == 0 ? w.view()->checkBoxRect(0).center()
                                      : w.view()->visualRect(w.model()->index(0, column)).center();
        RowMenu *menu = openMenuAt(w, at);
        QVERIFY(menu && menu->isVisible());
        QAction *chosen = menu->findChild<QAction *>(QString::fromLatin1(action));
        QVERIFY(chosen);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
        QTRY_VERIFY(!menu->isVisible());

        if (url.isEmpty()) {
            QVERIFY(urls.isEmpty());
        } else {
            QCOMPARE(urls.size(), 1);
            QCOMPARE(urls.front().toEncoded(), url);
        }
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QVERIFY(w.form.checkedFiles().isEmpty());
        QVERIFY(!w.model()->isChecked(0));
    }

    void menuKeyOpensTheSelectedRowsMenu()
    {
        Window w;
        QVERIFY(w.list(root()));
        w.view()->setFocus();
        w.view()->setCurrentIndex(w.model()->index(1, 2));
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                w.view()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w.view(), &event);
        auto *menu = w.form.findChild<RowMenu *>(QStringLiteral("rowMenu"));
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->file(), rawRoot() + "/report.doc");
        QCOMPARE(menu->paths(), QList<QByteArray>{rawRoot() + "/report.doc"});
        menu->hide();
    }

    void noMenuBelowTheRows()
    {
        Window w;
        QVERIFY(w.list(root()));
        const QPoint below(20, w.view()->viewport()->height() - 3);
        QVERIFY(!w.view()->indexAt(below).isValid());
        RowMenu *menu = openMenuAt(w, below);
        QVERIFY(!menu->isVisible());
    }

    void openingThatFails_data()
    {
        QTest::addColumn<bool>("removed");
        QTest::addColumn<bool>("openerSucceeds");
        QTest::addColumn<QString>("told");

        QTest::newRow("file gone since listing")
            << true << true << "/report.doc is no longer there.";
        QTest::newRow("nothing opens it") << false << false << "Unable to open ";
        QTest::newRow("opens") << false << true << "";
    }

    // Enter opens the selected row's file; what goes wrong is said in the message line.
    void openingThatFails()
    {
        QFETCH(bool, removed);
        QFETCH(bool, openerSucceeds);
        QFETCH(QString, told);
        Window w;
        int opened = 0;
        w.form.setUrlOpener([&](const QUrl &) {
            ++opened;
            return openerSucceeds;
        });
        QVERIFY(w.list(root()));
        if (removed)
            QVERIFY(QFile::remove(root() + QStringLiteral("/report.doc")));
        auto *song = w.child<QLineEdit>("txtSong");
        song->clear();
        w.view()->setFocus();
        w.view()->setCurrentIndex(w.model()->index(1, 1));
        QTest::keyClick(w.view(), Qt::Key_Return);
        QCOMPARE(opened, removed ? 0 : 1);
        if (told.isEmpty())
            QVERIFY(song->text().isEmpty());
        else
            QVERIFY2(song->text().contains(told), qPrintable(song->text()));
        QVERIFY(!w.model()->isChecked(1));
    }

    // Space works the selected row's check box, with the same bookkeeping as a click on it.
    void spaceTicksAndUnticks()
    {
        Window w;
        QVERIFY(w.list(root()));
        QCOMPARE(w.cell(3, 1), QStringLiteral("song.mp3"));
        auto *panel = w.child<MusicPanel>("WMPlayer");
        w.view()->setFocus();
        w.view()->setCurrentIndex(w.model()->index(3, 3)); // not the check box's column
        QTest::keyClick(w.view(), Qt::Key_Space);
        QVERIFY(w.model()->isChecked(3));
        const QByteArray song = rawRoot() + "/sub/song.mp3";
        QCOMPARE(w.form.checkedFiles(), (QHash<quint64, QByteArray>{{4, song}}));
        QCOMPARE(w.form.pickedPath(), rawRoot() + "/sub/song.mp3");
        QCOMPARE(panel->playlist()->count(), 1);

        QTest::keyClick(w.view(), Qt::Key_Space);
        QVERIFY(!w.model()->isChecked(3));
        QVERIFY(w.form.checkedFiles().isEmpty());
        QCOMPARE(panel->playlist()->count(), 0);

        // Moving with the arrows and ticking again acts on the row moved to.
        QTest::keyClick(w.view(), Qt::Key_Up);
        QTest::keyClick(w.view(), Qt::Key_Space);
        QCOMPARE(w.form.checkedFiles().keys(), QList<quint64>{3});
    }

    void deleteKey_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("asks");

        QTest::newRow("Delete") << int(Qt::NoModifier) << true;
        QTest::newRow("Delete on the keypad") << int(Qt::KeypadModifier) << true;
        QTest::newRow("Shift+Delete does nothing") << int(Qt::ShiftModifier) << false;
    }

    // Delete runs "&Delete": the one confirmation, then the trash. Answered No here.
    void deleteKey()
    {
        QFETCH(int, modifiers);
        QFETCH(bool, asks);
        Window w;
        QVERIFY(w.list(root()));
        w.clickCheckBox(1);
        w.log->answer = QMessageBox::No;
        w.view()->setFocus();
        QTest::keyClick(w.view(), Qt::Key_Delete, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w.log->asked.size(), asks ? 1 : 0);
        if (asks)
            QCOMPARE(w.log->asked.front().title, QStringLiteral("Confirm"));
        QVERIFY(QFile::exists(root() + QStringLiteral("/report.doc")));
        QVERIFY(w.model()->isChecked(1));
    }

    // The buttons' access keys still work while the list has the focus.
    void accessKeys()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        w.child<FolderTree>("Dir1")->setPath(root());
        w.view()->setFocus();
        QSignalSpy finished(&w.form, &Form1::workFinished);

        QTest::keyClick(w.view(), Qt::Key_F, Qt::AltModifier);
        QVERIFY(finished.wait(30000));
        QCOMPARE(w.form.listMode(), ListMode::Duplicate);
        QCOMPARE(w.model()->rowCount(), 1);

        w.view()->setCurrentIndex(w.model()->index(0, 0));
        // An access key presses its button as a click does, after the button shows it down.
        QTest::keyClick(w.view(), Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(w.cell(0, 1), root() + QStringLiteral("/reports.doc"));

        w.log->answer = QMessageBox::Cancel;
        QTest::keyClick(w.view(), Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(w.log->asked.size(), 1);

        QTest::keyClick(w.view(), Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(w.model()->rowCount(), 0);

        QTest::keyClick(w.view(), Qt::Key_L, Qt::AltModifier);
        QVERIFY(finished.wait(30000));
        QCOMPARE(w.form.listMode(), ListMode::Search);
        QCOMPARE(w.model()->rowCount(), 4);
    }

private:
    // Right-clicks at `at` in the list's viewport, as the pointer would: the press and the
    // release, then the context menu event. Returns the window's row menu.
    static RowMenu *openMenuAt(Window &w, const QPoint &at)
    {
        QWidget *viewport = w.view()->viewport();
        QTest::mousePress(viewport, Qt::RightButton, {}, at);
        QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &event);
        return w.form.findChild<RowMenu *>(QStringLiteral("rowMenu"));
    }
    QString root() const { return m_dir.filePath(QStringLiteral("tree")); }
    QByteArray rawRoot() const { return QFile::encodeName(root()); }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestRowKeys)
#include "tst_rowkeys.moc"
