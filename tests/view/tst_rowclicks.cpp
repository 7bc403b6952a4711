// SPDX-License-Identifier: MIT
// Clicks on rows and headers, tooltips, the picture preview and the player, through the window.

#include "formfixture.h"

#include "hostilefiles.h"
#include "view/musicpanel.h"
#include "view/picturebox.h"

#include <QBuffer>
#include <QHeaderView>
#include <QImage>
#include <QToolButton>

using namespace twinsift;
using namespace twinsift::testing;

class TestRowClicks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("HOMEDRIVE", "/");
        qputenv("USERPROFILE", QFile::encodeName(m_dir->path()));
    }

    void aClickPicksTheRowsFile()
    {
        makeFiles(root(), {QStringLiteral("a.txt"), QStringLiteral("b.mp3")});
        Window w;
        QVERIFY(w.list(root()));
        auto *panel = w.child<MusicPanel>("WMPlayer");

        w.clickRow(1);
        QVERIFY(w.model()->isChecked(1));
        QCOMPARE(w.form.checkedFiles(), (QHash<quint64, QByteArray>{{2, path("b.mp3")}}));
        QCOMPARE(w.form.pickedPath(), path("b.mp3"));
        QCOMPARE(panel->playlist()->count(), 1);
        QCOMPARE(w.child<QLineEdit>("txtSong")->text(), root() + QStringLiteral("/b.mp3"));
        QCOMPARE(w.child<PictureBox>("Picture1")->text(), root() + QStringLiteral("/b.mp3"));

        // A second click on a ticked row neither unticks nor adds anything.
        w.clickRow(1);
        QVERIFY(w.model()->isChecked(1));
        QCOMPARE(w.form.checkedFiles().size(), 1);
        QCOMPARE(panel->playlist()->count(), 1);

        w.clickRow(0);
        QCOMPARE(w.form.checkedFiles().value(1), path("a.txt"));
        QCOMPARE(panel->playlist()->count(), 1);
    }

    void aClickOnAPairPicksFile1()
    {
        makeFiles(root(), {QStringLiteral("report.doc"), QStringLiteral("reports.doc")});
        Window w;
        QVERIFY(w.findDuplicates(root()));
        w.clickRow(0, 2);
        QCOMPARE(w.form.checkedFiles().value(1), path("report.doc"));
        QCOMPARE(w.form.pickedPath(), path("report.doc"));
    }

    void tickingMusicOpensItInThePlayer()
    {
        makeFiles(root(), {QStringLiteral("song.mp3"), QStringLiteral("text.txt")});
        Window w;
        QVERIFY(w.list(root()));
        w.clickCheckBox(1);
        QCOMPARE(w.child<MusicPanel>("WMPlayer")->playlist()->count(), 0);
        w.clickCheckBox(0);
        QCOMPARE(w.child<MusicPanel>("WMPlayer")->playlist()->count(), 1);
        QCOMPARE(w.child<QLineEdit>("txtSong")->text(), root() + QStringLiteral("/song.mp3"));
        w.clickCheckBox(0);
        QCOMPARE(w.child<MusicPanel>("WMPlayer")->playlist()->count(), 0);
        // Clearing the list empties the playlist too.
        w.clickCheckBox(0);
        w.child<QPushButton>("cmdClear")->click();
        QCOMPARE(w.child<MusicPanel>("WMPlayer")->playlist()->count(), 0);
        // Closing the window lets go of the open song.
        QVERIFY(w.list(root()));
        w.clickCheckBox(0);
        QVERIFY(!w.child<MusicPanel>("WMPlayer")->player()->source().isEmpty());
        w.form.close();
        QVERIFY(w.child<MusicPanel>("WMPlayer")->player()->source().isEmpty());
    }

    void previewShowsPictures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QSizeF>("drawn");

        QTest::newRow("large picture") << "photo.png" << "Image size(1200 x 800)" << QSizeF(600, 400);
        QTest::newRow("text file") << "notes.txt" << "Can't read image" << QSizeF();
        QTest::newRow("missing file") << "zgone.png" << "Can't read image" << QSizeF();
    }

    void previewShowsPictures()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(QSizeF, drawn);
        makeFiles(root(), {QStringLiteral("notes.txt"), QStringLiteral("zgone.png")});
        QImage picture(1200, 800, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save(root() + QStringLiteral("/photo.png")));
        Window w;
        QVERIFY(w.list(root()));
        QVERIFY(QFile::remove(root() + QStringLiteral("/zgone.png")));
        const int row = file == QStringLiteral("notes.txt") ? 0 : file == QStringLiteral("photo.png") ? 1 : 2;
        QCOMPARE(w.cell(row, 1), file);

        auto *preview = w.child<PictureBox>("Picture1");
        auto *box = w.child<QCheckBox>("CheckImage");
        // Not under the preview box, which covers the lower right of the list.
        auto click = [&] { w.clickRow(row, 0); };
        box->click();
        QVERIFY(preview->isVisible());
        click();
        QCOMPARE(w.child<QLineEdit>("txtSong")->text(), message);
        QCOMPARE(preview->text(), message);
        QCOMPARE(preview->pictureSize(), drawn);
        QCOMPARE(preview->picture().isNull(), drawn.isEmpty());
        QVERIFY(!w.model()->isChecked(row));
        QVERIFY(w.form.checkedFiles().isEmpty());
        QVERIFY(w.form.pickedPath().isEmpty());
        QCOMPARE(w.child<MusicPanel>("WMPlayer")->playlist()->count(), 0);

        box->click();
        QVERIFY(!preview->isVisible());
    }

    // Files that are not what their names say: the preview refuses them with the designed
    // message, says why in the message line's tooltip, and draws nothing.
    void previewSurvivesHostilePictures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("why");

        QTest::newRow("png claiming 100000 x 100000")
            << hostile::pngClaiming(100000, 100000) << "Can't read image"
            << "100000 x 100000 pixels is too large to preview";
        QTest::newRow("zero bytes") << QByteArray("") << "Can't read image" << "the file is empty";
        QTest::newRow("text named .png")
            << QByteArray("not a picture at all\n") << "Can't read image" << "";
        QTest::newRow("png cut short") << halfOf("png") << "Can't read image" << "";
        // JPEG decoders show what arrived of a picture cut short, and fill the rest.
        QTest::newRow("jpeg cut short") << halfOf("jpg") << "Image size(1200 x 800)" << "";
    }

    void previewSurvivesHostilePictures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(QString, why);
        QVERIFY(QDir().mkpath(root()));
        QFile out(root() + QStringLiteral("/picture.png"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
        out.close();
        Window w;
        QVERIFY(w.list(root()));
        w.child<QCheckBox>("CheckImage")->click();
        w.clickRow(0, 0);

        auto *song = w.child<QLineEdit>("txtSong");
        auto *preview = w.child<PictureBox>("Picture1");
        QCOMPARE(song->text(), message);
        QCOMPARE(preview->text(), message);
        if (message == QStringLiteral("Can't read image")) {
            QVERIFY(preview->picture().isNull());
            QVERIFY2(song->toolTip().startsWith(message + QStringLiteral(": ") + why),
                     qPrintable(song->toolTip()));
        }
        QVERIFY(w.form.checkedFiles().isEmpty());
    }

    void music_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text named .mp3") << "not audio";
        QTest::newRow("removed while queued") << "removed";
    }

    // The player meets files it cannot play: the message line names the file and says why,
    // once, and the window goes on.
    void music()
    {
        QFETCH(QString, kind);
        const bool removed = kind == QStringLiteral("removed");
        QVERIFY(QDir().mkpath(root()));
        // Sound that plays although its name says MP3; a short first song, so that the
        // player reaches the second one by itself.
        for (const char *name : {"1 first.mp3", "2 second.mp3"}) {
            QFile out(root() + u'/' + QString::fromLatin1(name));
            QVERIFY(out.open(QIODevice::WriteOnly));
            const bool sound = removed || name[0] == '1';
            out.write(sound ? hostile::wavSilence(300) : QByteArray("words, not sound\n"));
        }
        Window w;
        QVERIFY(w.list(root()));
        auto *panel = w.child<MusicPanel>("WMPlayer");
        auto *song = w.child<QLineEdit>("txtSong");
        const QString second = root() + QStringLiteral("/2 second.mp3");
        const QString cantPlay = QStringLiteral("Can't play ") + second;
        if (removed) {
            w.clickCheckBox(0);
            w.clickCheckBox(1);
            QCOMPARE(panel->playlist()->count(), 2);
            QCOMPARE(panel->playlist()->current(), 0); // the second one waits its turn
            QVERIFY(QFile::remove(second));
            QTRY_VERIFY_WITH_TIMEOUT(song->text().startsWith(cantPlay), 20000);
            QVERIFY2(song->text().contains(QStringLiteral("not found")), qPrintable(song->text()));
        } else {
            QSignalSpy problems(panel, &MusicPanel::problem);
            w.clickCheckBox(1);
            QTRY_VERIFY_WITH_TIMEOUT(song->text().startsWith(cantPlay), 20000);
            // Only the first of the back end's complaints is shown: it is the one that says why.
            QTest::qWait(500);
            QCOMPARE(problems.size(), 1);
            // The player is not stuck on it: the next song picked is opened at once.
            w.clickCheckBox(0);
            QCOMPARE(panel->playlist()->current(), 1);
            QCOMPARE(song->text(), root() + QStringLiteral("/1 first.mp3"));
        }
        // The list and the ticks stand; the window still answers.
        QCOMPARE(w.model()->rowCount(), 2);
        QVERIFY(w.model()->isChecked(0) && w.model()->isChecked(1));
        w.child<QPushButton>("cmdClear")->click();
        QCOMPARE(panel->playlist()->count(), 0);
    }

    void headerClicksSortByNumbers()
    {
        makeFiles(root(), {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")});
        resize("a.txt", 9000);    // 9 KB
        resize("b.txt", 10000);   // 10 KB
        resize("c.txt", 2000000); // 2 MB
        Window w;
        QVERIFY(w.list(root()));
        QHeaderView *header = w.view()->horizontalHeader();
        auto clickHeader = [&](int section) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(section) + 5,
                                     header->height() / 2));
        };
        auto order = [&] {
            QStringList names;
            for (int row = 0; row < w.model()->rowCount(); ++row)
                names << w.cell(row, 1);
            return names;
        };
        const QStringList ascending{QStringLiteral("a.txt"), QStringLiteral("b.txt"),
                                    QStringLiteral("c.txt")};
        const QStringList descending{QStringLiteral("c.txt"), QStringLiteral("b.txt"),
                                     QStringLiteral("a.txt")};
        clickHeader(2); // the first click flips ascending to descending
        QCOMPARE(order(), descending);
        clickHeader(2);
        QCOMPARE(order(), ascending);
        clickHeader(1); // "Filename" sorts nothing but flips the direction
        QCOMPARE(order(), ascending);
        clickHeader(2);
        QCOMPARE(order(), ascending);
        QCOMPARE(w.cell(0, 0), QStringLiteral("1"));

        // After a sort, a click and the tooltip act on the row under the pointer.
        clickHeader(2);
        QCOMPARE(order(), descending);
        w.clickRow(0);
        QCOMPARE(w.form.checkedFiles(), (QHash<quint64, QByteArray>{{3, path("c.txt")}}));
        const QPoint onRow = w.view()->visualRect(w.model()->index(0, 1)).center();
        QCOMPARE(w.view()->toolTipAt(onRow), root() + QStringLiteral("/c.txt"));
        // Rows listed later come at the end, numbered on.
        QVERIFY(w.list(root()));
        QCOMPARE(w.cell(3, 0), QStringLiteral("4"));
        QCOMPARE(w.cell(3, 1), QStringLiteral("a.txt"));
    }

    void tooltips()
    {
        makeFiles(root(), {QStringLiteral("x/pic.jpg"), QStringLiteral("y/pic.jpg")});
        Window w;
        QVERIFY(w.list(root()));
        const QPoint first = w.view()->visualRect(w.model()->index(0, 3)).center();
        QCOMPARE(w.view()->toolTipAt(first), root() + QStringLiteral("/x/pic.jpg"));
        const QPoint below(first.x(), w.view()->viewport()->height() - 2);
        QCOMPARE(w.view()->toolTipAt(below), QString());

        QVERIFY(w.findDuplicates(root()));
        QCOMPARE(w.model()->rowCount(), 1);
        const QPoint pair = w.view()->visualRect(w.model()->index(0, 0)).center();
        QCOMPARE(w.view()->toolTipAt(pair), root() + QStringLiteral("/x/pic.jpg  <--->  ") + root() +
                                                QStringLiteral("/y/pic.jpg"));
    }

private:
    static QByteArray halfOf(const char *format)
    {
        QImage image(1200, 800, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes.left(bytes.size() / 2);
    }
    QString root() const { return m_dir->filePath(QStringLiteral("tree")); }
    QByteArray path(const char *name) const { return QFile::encodeName(root()) + '/' + name; }
    void resize(const char *name, qint64 size)
    {
        QFile file(root() + u'/' + QString::fromLatin1(name));
        QVERIFY(file.resize(size));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestRowClicks)
#include "tst_rowclicks.moc"
