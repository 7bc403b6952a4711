// SPDX-License-Identifier: MIT
// The view's pieces without the window: the playlist, the picture reader and its loader,
// and what the row menu does with a row's files.

#include "hostilefiles.h"
#include "view/musicplaylist.h"
#include "view/pictureloader.h"
#include "view/rowactions.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace twinsift;
using namespace Qt::StringLiterals;

class TestView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void isMusic_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("music");
        QTest::newRow("Mp3") << "/m/song.Mp3"_ba << true;
        QTest::newRow("no dot before it") << "/m/remix_mp3"_ba << true;
        QTest::newRow("name not UTF-8") << "/m/caf\xe9.MP3"_ba << true;
        QTest::newRow("wma") << "/m/song.wma"_ba << false;
        QTest::newRow("mp3 then more") << "/m/song.mp3.txt"_ba << false;
    }
    void isMusic()
    {
        QFETCH(QByteArray, path);
        QFETCH(bool, music);
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
        QVERIFY(list.removeMusic("/m/a.mp3"));
        QCOMPARE(list.item(1), "/m/a.mp3"_ba);
        QCOMPARE(list.current(), 2);
        QVERIFY(list.removeMusic("/m/c.mp3"));
        QCOMPARE(list.current(), -1);
        QCOMPARE(removed, (QList<QVariantList>{{0, false}, {2, true}}));
    }

    void picture_data()
    {
        QTest::addColumn<QByteArray>("content"); // "/": a folder, "|": a pipe, null: nothing
        QTest::addColumn<QSize>("pixels");       // none when it cannot be shown
        QTest::addColumn<QSizeF>("drawn");
        QTest::addColumn<QString>("why"); // why not, or "incomplete"
        auto shows = [](const char *name, const char *format, QSize pixels, QSizeF drawn) {
            QTest::newRow(name) << picture(format, pixels) << pixels << drawn << QString();
        };
        auto refuses = [](const char *name, const QByteArray &content, const char *why) {
            QTest::newRow(name) << content << QSize() << QSizeF() << QString::fromUtf8(why);
        };
        shows("wide, halved", "png", {1200, 800}, {600, 400});
        shows("tall", "jpg", {300, 450}, {266.666667, 400});
        shows("at the width limit", "bmp", {600, 400}, {600, 400});
        shows("only the width limits", "png", {700, 650}, {600, 557.142857});
        shows("wider than 32767", "png", {40000, 8}, {600, 0.12});
        QTest::newRow("jpeg cut short: shown, said incomplete")
            << picture("jpg", {1200, 800}, 2) << QSize(1200, 800) << QSizeF(600, 400)
            << u"incomplete"_s;
        refuses("png cut short", picture("png", {1200, 800}, 2), "");
        refuses("zero bytes", "", "the file is empty");
        refuses("text: no picture, not a damaged one", "no picture\n", "not a picture");
        refuses("missing file", QByteArray(), "No such file");
        refuses("folder", "/", "not a file");
        refuses("pipe, which must not block", "|", "not a file");
        // Headers that claim more pixels than can be decoded are refused before decoding.
        refuses("png claiming 100000 x 100000", hostile::pngClaiming(100000, 100000),
                "100000 x 100000 pixels is too large to preview");
        refuses("gif claiming 65535 x 65535", hostile::gifClaiming(65535, 65535),
                "65535 x 65535 pixels is too large");
        refuses("png of 16000 x 16000, past the decoders' limit",
                hostile::pngClaiming(16000, 16000), "16000 x 16000 pixels is too large to preview");
    }

    // Read off the GUI thread by the loader, as the window does.
    void picture()
    {
        QFETCH(QByteArray, content);
        QFETCH(QSize, pixels);
        QFETCH(QSizeF, drawn);
        QFETCH(QString, why);
        const QString file = m_dir.filePath(u"a.png"_s);
        QFile::remove(file);
        QDir().rmdir(file);
        QVERIFY(content.isNull() || content == "/" || content == "|" ||
                hostile::writeFile(file, content));
        QVERIFY(content != "/" || QDir().mkdir(file));
        QVERIFY(content != "|" || ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        QImageReader::setAllocationLimit(256);
        PictureLoader loader;
        QSignalSpy loaded(&loader, &PictureLoader::loaded);
        loader.load("/nonexistent/first.png"); // a later request wins
        loader.load(QFile::encodeName(file));
        QVERIFY(loaded.wait(10000));
        QTest::qWait(20);
        QCOMPARE(loaded.size(), 1);
        const auto preview = loaded[0][0].value<imagepreview::Preview>();
        QCOMPARE(preview.ok, pixels.isValid());
        QCOMPARE(preview.ok ? preview.pixels : QSize(), pixels);
        QCOMPARE((preview.drawn * 1e4).toSize(), (drawn * 1e4).toSize());
        const QSize decoded = preview.image.size();
        QVERIFY(!preview.ok || (decoded.width() <= qCeil(drawn.width()) &&
                                decoded.height() <= std::max(1, qCeil(drawn.height()))));
        QCOMPARE(preview.incomplete, why == u"incomplete"_s);
        QVERIFY2(preview.ok || preview.error.contains(why), qPrintable(preview.error));
    }

    // Open and Open Containing Folder give the opener the raw bytes of the path, and say
    // what went wrong; Copy Path gives people text and file managers exact URLs.
    void rowActions()
    {
        RowActions actions;
        QStringList opened;
        bool works = true;
        actions.setOpener([&](const QUrl &url) {
            opened << QString::fromLatin1(url.toEncoded());
            return works;
        });
        QSignalSpy said(&actions, &RowActions::said);
        const QByteArray odd = QFile::encodeName(m_dir.path()) + "/caf\xe9 #1.mp3";
        QCOMPARE(::close(::open(odd.constData(), O_CREAT | O_WRONLY, 0644)), 0);
        const QString url = QString::fromLatin1("file://" + odd.toPercentEncoding("/"));
        actions.openFile(odd);
        actions.openFolder(odd);
        works = false;
        actions.openFile(odd);
        actions.openFile("/nonexistent/x");
        actions.openFolder("/nonexistent/x");
        QCOMPARE(opened, (QStringList{url, url.left(url.lastIndexOf(u'/') + 1), url}));
        QStringList texts;
        for (const QVariantList &text : std::as_const(said))
            texts << text[0].toString().remove(m_dir.path());
        QCOMPARE(texts, (QStringList{u"Unable to open /caf\uFFFD #1.mp3."_s,
                                     u"/nonexistent/x is no longer there."_s,
                                     u"The folder of /nonexistent/x is no longer there."_s}));

        actions.copyPaths({odd, "/a b"});
        const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(copied->text(), m_dir.path() + u"/caf\uFFFD #1.mp3\n/a b"_s);
        QCOMPARE(copied->data(u"text/uri-list"_s), (url + u"\r\nfile:///a%20b\r\n"_s).toLatin1());
    }

private:
    // A picture of `pixels` in `format`, or the first 1/`part` of it.
    static QByteArray picture(const char *format, QSize pixels, int part = 1)
    {
        QImage image(pixels, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        const bool saved = buffer.open(QIODevice::WriteOnly) && image.save(&buffer, format);
        return saved ? bytes.left(bytes.size() / part) : QByteArray();
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestView)
#include "tst_view.moc"
