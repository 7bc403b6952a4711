// SPDX-License-Identifier: MIT
// The result list through the real window: ticking by click, check box and Space; headers,
// tooltips, the row menu and the keys; the picture preview, the player and its playlist.

#include "formfixture.h"

#include "hostilefiles.h"
#include "view/musicpanel.h"
#include "view/picturebox.h"
#include "view/rowmenu.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace twinsift;
using namespace twinsift::testing;
using namespace Qt::StringLiterals;

using Ticked = QHash<quint64, QByteArray>;
enum How { Click, TickBox, SpaceKey };

class TestView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Listed, rows 0 to 2 are numbered 1 to 3: caf\xe9.mp3, whose name is not UTF-8 and must
    // reach the opener and the player byte for byte, then report.doc and reports.doc, a pair.
    void init()
    {
        makeFiles(root(), {u"report.doc"_s, u"reports.doc"_s});
        const int fd = ::open(raw("caf\xe9.mp3").constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0 && ::close(fd) == 0);
    }

    // QDir cannot remove a name that is not UTF-8.
    void cleanup()
    {
        ::unlink(raw("caf\xe9.mp3").constData());
        QVERIFY(QDir(root()).removeRecursively());
    }

    // The player's own playlist: music is what ends in "mp3", in any case.
    void isMusic_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("music");

        QTest::newRow("mp3") << QByteArray("/m/song.mp3") << true;
        QTest::newRow("Mp3") << QByteArray("/m/song.Mp3") << true;
        QTest::newRow("MP3") << QByteArray("/m/SONG.MP3") << true;
        QTest::newRow("no dot before it") << QByteArray("/m/remix_mp3") << true;
        QTest::newRow("wav") << QByteArray("/m/song.wav") << false;
        QTest::newRow("wma") << QByteArray("/m/song.wma") << false;
        QTest::newRow("mp3 then more") << QByteArray("/m/song.mp3.txt") << false;
        QTest::newRow("name not UTF-8") << QByteArray("/m/caf\xe9.mp3") << true;
    }

    void isMusic()
    {
        QFETCH(QByteArray, path);
        QFETCH(bool, music);
        QCOMPARE(MusicPlaylist::isMusic(path), music);
        MusicPlaylist list;
        QCOMPARE(list.addMusic(path), music);
        QCOMPARE(list.count(), music ? 1 : 0);
    }

    // A removal takes the first item equal byte for byte, and the open item follows it.
    void removals()
    {
        MusicPlaylist list;
        for (const char *path : {"/m/a.mp3", "/m/b.mp3", "/m/a.mp3", "/m/c.mp3"})
            QVERIFY(list.addMusic(path));
        list.setCurrent(3);
        QSignalSpy removed(&list, &MusicPlaylist::removed);
        QVERIFY(!list.removeMusic("/m/A.mp3"));
        QVERIFY(!list.removeMusic("/m/notes.txt"));
        QVERIFY(list.removeMusic("/m/a.mp3"));
        QCOMPARE(list.item(0), QByteArray("/m/b.mp3"));
        QCOMPARE(list.item(1), QByteArray("/m/a.mp3"));
        QCOMPARE(list.current(), 2);
        QVERIFY(list.removeMusic("/m/c.mp3"));
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.current(), -1);
        QCOMPARE(removed, (QList<QVariantList>{{0, false}, {2, true}}));
    }

    void ticking_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("a click on the row, which never unticks") << int(Click);
        QTest::newRow("the check box") << int(TickBox);
        QTest::newRow("Space on the row the arrows reach, in any column") << int(SpaceKey);
    }

    // Every way of ticking keeps the same books: the ticked numbers and paths, the picked
    // path, and the playlist, which holds the ticked music and opens what comes while idle.
    void ticking()
    {
        QFETCH(int, how);
        Window w;
        QVERIFY(w.list(root()));
        MusicPanel *panel = w.child<MusicPanel>("WMPlayer");
        QSignalSpy opened(panel, &MusicPanel::openStateChanged);
        w.view()->setFocus();
        auto tick = [&](int row) {
            if (how == Click)
                return w.clickRow(row);
            if (how == TickBox)
                return w.clickCheckBox(row);
            w.view()->setCurrentIndex(w.model()->index(row + 1, 3));
            QTest::keyClick(w.view(), Qt::Key_Up);
            QTest::keyClick(w.view(), Qt::Key_Space);
        };
        tick(1);
        QVERIFY(!panel->player()); // no music yet: no media back end loaded
        tick(0);
        QVERIFY(w.model()->isChecked(0));
        QCOMPARE(w.form.checkedFiles(), (Ticked{{1, raw("caf\xe9.mp3")}, {2, raw("report.doc")}}));
        QCOMPARE(w.form.pickedPath(), raw("caf\xe9.mp3"));
        QCOMPARE(panel->playlist()->count(), 1);
        QCOMPARE(panel->playlist()->current(), 0);
        QCOMPARE(opened, QList<QVariantList>{QVariantList{raw("caf\xe9.mp3")}});
        QVERIFY(panel->player());
        QCOMPARE(QString::fromLatin1(panel->player()->source().toEncoded()), url("caf%E9.mp3"));
        QCOMPARE(w.child<QLineEdit>("txtSong")->text(), shown("caf\uFFFD.mp3"));
        if (how == Click)
            QCOMPARE(w.child<PictureBox>("Picture1")->text(), shown("caf\uFFFD.mp3"));

        tick(0);
        QCOMPARE(w.model()->isChecked(0), how == Click);
        QCOMPARE(w.form.checkedFiles().size(), how == Click ? 2 : 1);
        QCOMPARE(panel->playlist()->count(), how == Click ? 1 : 0);
        QCOMPARE(panel->player()->source().isEmpty(), how != Click); // unticked, it is let go
        // Closing the window lets go of the open song; clearing the list empties the playlist.
        w.form.close();
        QVERIFY(panel->player()->source().isEmpty());
        QCOMPARE(panel->player()->playbackState(), QMediaPlayer::StoppedState);
        w.child<QPushButton>("cmdClear")->click();
        QCOMPARE(panel->playlist()->count(), 0);
        QCOMPARE(panel->playlist()->current(), -1);
    }

    void preview_data()
    {
        // Content null: gone once listed; "/" or "|": a folder or a pipe in its place once listed.
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QSize>("pixels"); // none when it cannot be read
        QTest::addColumn<QSizeF>("drawn");
        QTest::addColumn<QString>("why"); // told in the message line's tooltip
        auto shows = [](const char *name, const char *format, QSize pixels, QSizeF drawn,
                        bool cut = false) {
            QTest::newRow(name) << picture(format, pixels, cut) << pixels << drawn << QString();
        };
        auto refuses = [](const char *name, const QByteArray &content, const char *why) {
            QTest::newRow(name) << content << QSize() << QSizeF() << QString::fromUtf8(why);
        };
        // The name says nothing about the content: the reader looks at the bytes.
        shows("wide, halved", "png", {1200, 800}, {600, 400});
        shows("tall", "jpg", {300, 450}, {266.666667, 400});
        shows("square, small", "bmp", {500, 500}, {500, 500});
        shows("only the width limits", "png", {700, 650}, {600, 557.142857});
        shows("at the width limit", "png", {600, 400}, {600, 400});
        shows("at the height limit", "png", {399, 400}, {399, 400});
        shows("square, large", "png", {800, 800}, {600, 600});
        shows("jpeg 2000 wide", "jpg", {2000, 300}, {600, 90});
        shows("small bmp", "bmp", {40, 30}, {40, 30});
        shows("wider than 32767", "png", {40000, 100}, {600, 1.5});
        shows("40000 wide, 8 high", "png", {40000, 8}, {600, 0.12});
        // JPEG decoders show what arrived of a picture cut short, and fill the rest.
        shows("jpeg cut short", "jpg", {1200, 800}, {600, 400}, true);
        refuses("png cut short", picture("png", {1200, 800}, true), "");
        refuses("zero bytes", "", "the file is empty");
        refuses("text named .png", "no picture\n", "");
        refuses("missing file", QByteArray(), "No such file");
        refuses("folder", "/", "not a file");
        refuses("pipe, which must not block", "|", "not a file");
        // Headers that claim billions of pixels in a few bytes are refused before decoding.
        refuses("png claiming 100000 x 100000", hostile::pngClaiming(100000, 100000),
                "100000 x 100000 pixels is too large to preview");
        refuses("gif claiming 65535 x 65535", hostile::gifClaiming(65535, 65535),
                "65535 x 65535 pixels is too large");
        refuses("png claiming 20000 x 20000", hostile::pngClaiming(20000, 20000),
                "20000 x 20000 pixels is too large");
    }

    // With "Image" ticked, a click shows the row's file as a picture, shrunk to fit and decoded
    // no larger than drawn, or says why it cannot; it ticks nothing.
    void preview()
    {
        QFETCH(QByteArray, content);
        QFETCH(QSize, pixels);
        QFETCH(QSizeF, drawn);
        QFETCH(QString, why);
        const QString file = shown("a.png");
        QVERIFY(hostile::writeFile(file, content));
        Window w;
        QVERIFY(w.list(root()));
        QCOMPARE(w.cell(0, 1), u"a.png"_s);
        QVERIFY(!(content.isNull() || content == "/" || content == "|") || QFile::remove(file));
        QVERIFY(content != "/" || QDir().mkdir(file));
        QVERIFY(content != "|" || ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        auto *song = w.child<QLineEdit>("txtSong");
        auto *preview = w.child<PictureBox>("Picture1");
        w.child<QCheckBox>("CheckImage")->click();
        QVERIFY(preview->isVisible());
        // Whatever limit the environment sets for decoders (QT_IMAGEIO_MAXALLOC=0 lifts it),
        // a forged header must be refused before anything is decoded.
        const int limit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(0);
        w.clickRow(0, 0); // not under the preview, which covers the lower right of the list
        QImageReader::setAllocationLimit(limit);

        const QString message =
            pixels.isValid() ? u"Image size(%1 x %2)"_s.arg(pixels.width()).arg(pixels.height())
                             : u"Can't read image"_s;
        QCOMPARE(song->text(), message);
        QCOMPARE(preview->text(), message);
        QCOMPARE((preview->pictureSize() * 1e4).toSize(), (drawn * 1e4).toSize());
        QCOMPARE(preview->picture().isNull(), !pixels.isValid());
        const QSize decoded = preview->picture().size();
        QVERIFY(!pixels.isValid() || (decoded.width() <= qCeil(drawn.width()) &&
                                      decoded.height() <= std::max(1, qCeil(drawn.height()))));
        QVERIFY2(pixels.isValid() || song->toolTip().startsWith(message + u": "_s + why),
                 qPrintable(song->toolTip()));
        QVERIFY(!w.model()->isChecked(0) && w.form.checkedFiles().isEmpty());
        QVERIFY(w.form.pickedPath().isEmpty());
        w.child<QCheckBox>("CheckImage")->click();
        QVERIFY(!preview->isVisible());
    }

    void music_data()
    {
        QTest::addColumn<bool>("removed");
        QTest::newRow("text named .mp3") << false;
        QTest::newRow("removed while queued") << true;
    }

    // The player meets a file it cannot play: the message line names the file and says why,
    // once, and the window goes on.
    void music()
    {
        QFETCH(bool, removed);
        // Sound that plays although its name says MP3; a short first song, so that the player
        // reaches the second one by itself.
        const QString first = shown("1 first.mp3"), second = shown("2 second.mp3");
        QVERIFY(hostile::writeFile(first, hostile::wavSilence(300)));
        QVERIFY(hostile::writeFile(second, removed ? hostile::wavSilence(300) : "not sound\n"));
        Window w;
        QVERIFY(w.list(root()));
        auto *panel = w.child<MusicPanel>("WMPlayer");
        auto *song = w.child<QLineEdit>("txtSong");
        QSignalSpy problems(panel, &MusicPanel::problem);
        if (removed)
            w.clickCheckBox(0);
        w.clickCheckBox(1);
        QCOMPARE(panel->playlist()->current(), 0); // when there is a first, the second waits
        QVERIFY(!removed || QFile::remove(second));
        QTRY_VERIFY_WITH_TIMEOUT(song->text().startsWith("Can't play "_L1 + second), 20000);
        QVERIFY2(!removed || song->text().contains("not found"_L1), qPrintable(song->text()));
        // Only the first of the back end's complaints is shown: it is the one that says why.
        QTest::qWait(500);
        QCOMPARE(problems.size(), 1);
        if (!removed) {
            // The player is not stuck on it: the next song picked is opened at once.
            w.clickCheckBox(0);
            QCOMPARE(panel->playlist()->current(), 1);
            QCOMPARE(song->text(), first);
        }
        QCOMPARE(w.model()->rowCount(), 5);
        QVERIFY(w.model()->isChecked(0) && w.model()->isChecked(1));
        w.child<QPushButton>("cmdClear")->click();
        QCOMPARE(panel->playlist()->count(), 0);
    }

    // Sizes sort as numbers (9 KB, 10 KB, 2 MB), not as their text; the pointer then finds the
    // rows where the sort put them.
    void sortingAndTheRowsUnderThePointer()
    {
        QVERIFY(::truncate(raw("caf\xe9.mp3").constData(), 2000000) == 0);
        QVERIFY(QFile::resize(shown("report.doc"), 9000));
        QVERIFY(QFile::resize(shown("reports.doc"), 10000));
        Window w;
        QVERIFY(w.list(root()));
        QHeaderView *header = w.view()->horizontalHeader();
        auto sortBy = [&](int section) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              {header->sectionViewportPosition(section) + 5, header->height() / 2});
            return w.rows({0}).join(u' ');
        };
        const QString ascending = u"2 3 1"_s, descending = u"1 3 2"_s;
        QCOMPARE(sortBy(2), descending); // the first click flips ascending to descending
        QCOMPARE(sortBy(2), ascending);
        QCOMPARE(sortBy(1), ascending); // "Filename" sorts nothing but flips the direction
        QCOMPARE(sortBy(2), ascending);
        QCOMPARE(sortBy(2), descending);
        w.clickRow(1);
        QCOMPARE(w.form.checkedFiles(), (Ticked{{3, raw("reports.doc")}}));
        for (const int column : {1, 3})
            QCOMPARE(w.view()->toolTipAt(at(w, 1, column)), shown("reports.doc"));
        // Below the rows: no tooltip; the menu offers only what needs no row.
        const QPoint below(20, w.view()->viewport()->height() - 3);
        QVERIFY(!w.view()->indexAt(below).isValid());
        QCOMPARE(w.view()->toolTipAt(below), QString());
        RowMenu *menu = openMenuAt(w, below);
        QVERIFY(menu->isVisible() && menu->file().isEmpty() && !menu->actions()[0]->isEnabled());
        menu->close();
        // Rows listed later come at the end, numbered on.
        QVERIFY(w.list(root()));
        QCOMPARE(w.rows({0, 1}).value(4), u"5|report.doc"_s);
    }

    void rowMenu_data()
    {
        QTest::addColumn<bool>("pairs");
        QTest::addColumn<int>("column"); // -1: the menu key, with row 1's third cell selected
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("result"); // what the opener was given, or what was copied

        const QString open = u"openFile"_s, copy = u"copyPath"_s;
        QTest::newRow("list: open") << false << 1 << open << url("caf%E9.mp3");
        QTest::newRow("list: open containing folder") << false << 4 << "openFolder" << url("");
        QTest::newRow("list: copy path") << false << 2 << copy << shown("caf\uFFFD.mp3");
        QTest::newRow("list: menu key, open") << false << -1 << open << url("report.doc");
        QTest::newRow("list: menu key, copy path") << false << -1 << copy << shown("report.doc");
        QTest::newRow("pair: open on File1") << true << 1 << open << url("report.doc");
        QTest::newRow("pair: open on No.") << true << 0 << open << url("report.doc");
        QTest::newRow("pair: open on File2") << true << 2 << open << url("reports.doc");
        QTest::newRow("pair: copy both paths")
            << true << 3 << copy << shown("report.doc") + u'\n' + shown("reports.doc");
    }

    // The menu acts on the row under the pointer, or the keyboard's, and never ticks or
    // unticks it, even when it was asked for over the row's check box.
    void rowMenu()
    {
        QFETCH(bool, pairs);
        QFETCH(int, column);
        QFETCH(QString, action);
        QFETCH(QString, result);
        Window w;
        QStringList opened;
        w.form.setUrlOpener([&](const QUrl &file) {
            opened << QString::fromLatin1(file.toEncoded());
            return true;
        });
        QVERIFY(pairs ? w.findDuplicates(root()) : w.list(root()));
        QGuiApplication::clipboard()->clear();
        RowMenu *menu = nullptr;
        if (column < 0) {
            w.view()->setCurrentIndex(w.model()->index(1, 2));
            QContextMenuEvent key(QContextMenuEvent::Keyboard, {}, {});
            QApplication::sendEvent(w.view(), &key);
            menu = w.form.findChild<RowMenu *>(u"rowMenu"_s);
        } else {
            menu = openMenuAt(w, column ? at(w, 0, column) : w.view()->checkBoxRect(0).center());
        }
        QTRY_VERIFY(menu && menu->isVisible());
        QAction *chosen = menu->findChild<QAction *>(action);
        QVERIFY(chosen);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
        QTRY_VERIFY(!menu->isVisible());
        const bool copied = action == "copyPath"_L1;
        QCOMPARE(copied ? QGuiApplication::clipboard()->text() : opened.join(u' '), result);
        QVERIFY(copied ? opened.isEmpty() : QGuiApplication::clipboard()->text().isEmpty());
        QVERIFY(w.form.checkedFiles().isEmpty());
        QVERIFY(!w.model()->isChecked(0) && !w.model()->isChecked(column < 0 ? 1 : 0));
    }

    // On the selected row, Enter opens the file and says in the message line what went wrong;
    // Delete runs "&Delete": the one confirmation (answered No here), then the trash.
    void keys()
    {
        Window w;
        int opened = 0;
        bool openable = true;
        w.form.setUrlOpener([&](const QUrl &) {
            ++opened;
            return openable;
        });
        QVERIFY(w.list(root()));
        w.clickCheckBox(2);
        auto *song = w.child<QLineEdit>("txtSong");
        song->clear();
        w.view()->setFocus();
        w.view()->setCurrentIndex(w.model()->index(1, 1));
        QTest::keyClick(w.view(), Qt::Key_Return);
        QCOMPARE(opened, 1);
        QCOMPARE(song->text(), QString());
        openable = false;
        QTest::keyClick(w.view(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(song->text(), "Unable to open "_L1 + shown("report.doc") + u'.');
        QVERIFY(QFile::remove(shown("report.doc")));
        QTest::keyClick(w.view(), Qt::Key_Return);
        QCOMPARE(opened, 2);
        QCOMPARE(song->text(), shown("report.doc") + " is no longer there."_L1);

        w.log->answer = QMessageBox::No;
        // Shift+Delete, which file managers use to delete for good, is ignored.
        const std::pair<Qt::KeyboardModifier, int> deletes[]{
            {Qt::NoModifier, 1}, {Qt::KeypadModifier, 2}, {Qt::ShiftModifier, 2}};
        for (const auto &[modifiers, asked] : deletes) {
            QTest::keyClick(w.view(), Qt::Key_Delete, modifiers);
            QCOMPARE(w.log->asked.size(), asked);
            QCOMPARE(w.log->asked.back().title, u"Confirm"_s);
        }
        QVERIFY(QFile::exists(shown("reports.doc")) && w.model()->isChecked(2));
        QVERIFY(!w.model()->isChecked(1));
    }

    // A pair row's tooltip gives both files and a click picks File1; the buttons' access keys
    // work while the list has the focus.
    void pairsAndAccessKeys()
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
        QCOMPARE(w.view()->toolTipAt(at(w, 0, 0)),
                 shown("report.doc") + "  <--->  "_L1 + shown("reports.doc"));
        w.clickRow(0, 2);
        QCOMPARE(w.form.checkedFiles(), (Ticked{{1, raw("report.doc")}}));
        QCOMPARE(w.form.pickedPath(), raw("report.doc"));

        // An access key presses its button as a click does, after the button shows it down.
        QTest::keyClick(w.view(), Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(w.cell(0, 1), shown("reports.doc"));
        w.log->answer = QMessageBox::Cancel;
        QTest::keyClick(w.view(), Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(w.log->asked.size(), 1);
        QTest::keyClick(w.view(), Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(w.model()->rowCount(), 0);
        QTest::keyClick(w.view(), Qt::Key_L, Qt::AltModifier);
        QVERIFY(finished.wait(30000));
        QCOMPARE(w.form.listMode(), ListMode::Search);
        QCOMPARE(w.model()->rowCount(), 3);
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
        return w.form.findChild<RowMenu *>(u"rowMenu"_s);
    }
    static QPoint at(Window &w, int row, int column)
    {
        return w.view()->visualRect(w.model()->index(row, column)).center();
    }
    // A picture of `pixels` in `format`, or the first half of it.
    static QByteArray picture(const char *format, QSize pixels, bool cut = false)
    {
        QImage image(pixels, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        const bool saved = buffer.open(QIODevice::WriteOnly) && image.save(&buffer, format);
        return saved ? bytes.left(cut ? bytes.size() / 2 : bytes.size()) : QByteArray();
    }
    QString root() const { return m_box.root(); }
    QString shown(const char *name) const { return root() + u'/' + QString::fromUtf8(name); }
    QByteArray raw(const char *name) const { return QFile::encodeName(root()) + '/' + name; }
    // The URL of a file under root(), as the opener and the player are given it.
    QString url(const char *encodedName) const
    {
        return QString::fromLatin1("file://" + raw("").toPercentEncoding("/") + encodedName);
    }

    Sandbox m_box;
};

QTEST_MAIN(TestView)
#include "tst_view.moc"
