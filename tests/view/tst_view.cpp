// SPDX-License-Identifier: MIT
// The view's pieces without the window: the playlist, the picture reader and its loader,
// and what the row menu does with a row's files.

#include "hostilefiles.h"
#include "view/imagepreview.h"
#include "view/musicpanel.h"
#include "view/musicplaylist.h"
#include "view/rowactions.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace twinsift;
using namespace Qt::StringLiterals;

class TestView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Music is what ends in "mp3", in any case; a removal takes the first equal item byte for
    // byte, and the open item follows it.
    void playlist()
    {
        MusicPlaylist list;
        for (const char *path :
             {"/m/a.Mp3", "/m/b_mp3", "/m/a.Mp3", "/m/caf\xe9.MP3", "/m/x.wma", "/m/x.mp3.txt"})
            list.addMusic(path);
        QCOMPARE(list.count(), 4);
        list.setCurrent(3);
        QSignalSpy removed(&list, &MusicPlaylist::removed);
        QVERIFY(!list.removeMusic("/m/A.Mp3") && list.removeMusic("/m/a.Mp3"));
        QCOMPARE(list.item(1) + list.item(2), "/m/a.Mp3/m/caf\xe9.MP3"_ba);
        QVERIFY(list.removeMusic("/m/caf\xe9.MP3"));
        QCOMPARE(removed, (QList<QVariantList>{{0, false}, {2, true}}));
        QCOMPARE(list.current(), -1);
    }

    // The player's buttons follow the open item: no Previous on the first, no Next on the
    // last, no position without an open item, nothing to play in an empty list.
    void playerButtons()
    {
        MusicPanel panel;
        const auto state = [&panel]() -> QString {
            QString s;
            for (QToolButton *b : panel.findChildren<QToolButton *>())
                if (b->isEnabled())
                    s += b->accessibleName().left(2);
            return s + (panel.findChild<QSlider *>(u"position"_s)->isEnabled() ? u"@"_s : u""_s);
        };
        QCOMPARE(state(), u""_s);
        for (const char *path : {"/nowhere/a.mp3", "/nowhere/b.mp3", "/nowhere/c.mp3"})
            panel.addMusic(path);
        QCOMPARE(state(), u"PaStNe@"_s); // the first appended starts to play
        panel.next();
        QCOMPARE(state(), u"PrPaStNe@"_s);
        panel.next();
        QCOMPARE(state(), u"PrPaSt@"_s);
        panel.previous();
        QCOMPARE(state(), u"PrPaStNe@"_s);
        panel.removeMusic("/nowhere/b.mp3"); // unticking the open one closes it
        QCOMPARE(state(), u"PlStNe"_s);
        for (const char *path : {"/nowhere/a.mp3", "/nowhere/b.mp3", "/nowhere/c.mp3"})
            panel.removeMusic(path);
        QCOMPARE(state(), u""_s);
    }

    void picture_data()
    {
        QTest::addColumn<QByteArray>("content"); // "/": a folder, "|": a pipe, null: nothing
        QTest::addColumn<QSizeF>("drawn");       // none when it cannot be shown
        QTest::addColumn<QString>("why");        // why not, or "incomplete"
        auto row = [](const char *name, const QByteArray &content, QSizeF drawn, const char *why) {
            QTest::newRow(name) << content << drawn << QString::fromUtf8(why);
        };
        row("wide, halved", picture("png", {1200, 800}), {600, 400}, "");
        row("tall", picture("jpg", {300, 450}), {266.666667, 400}, "");
        row("wider than 32767", picture("png", {40000, 8}), {600, 0.12}, "");
        row("jpeg cut short", picture("jpg", {1200, 800}, 2), {600, 400}, "incomplete");
        row("png cut short", picture("png", {1200, 800}, 2), {}, "");
        row("zero bytes", "", {}, "the file is empty");
        row("text: no picture, not a damaged one", "no picture\n", {}, "not a picture");
        row("missing file", QByteArray(), {}, "No such file");
        row("folder", "/", {}, "not a file");
        row("pipe, which must not block", "|", {}, "not a file");
        row("png claiming 100000 x 100000", hostile::pngClaiming(100000, 100000), {},
            "100000 x 100000 pixels is too large to preview");
        row("png of 16000 x 16000: past the decoders' limit", hostile::pngClaiming(16000, 16000),
            {}, "16000 x 16000 pixels is too large to preview");
    }
    void picture()
    {
        QFETCH(QByteArray, content);
        QFETCH(QSizeF, drawn);
        QFETCH(QString, why);
        const QString file = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(content.isNull() || content == "/" || content == "|" ||
                hostile::writeFile(file, content));
        QVERIFY(content != "/" || QDir().mkdir(file));
        QVERIFY(content != "|" || ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        QImageReader::setAllocationLimit(256);
        const imagepreview::Preview preview = imagepreview::load(QFile::encodeName(file));
        QCOMPARE(preview.ok, drawn.isValid());
        QCOMPARE((preview.drawn * 1e4).toSize(), (drawn * 1e4).toSize());
        QVERIFY(!preview.ok || (preview.image.width() <= qCeil(drawn.width()) &&
                                preview.image.height() <= std::max(1, qCeil(drawn.height()))));
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
        actions.openFile(odd); // whether it is there is asked in the background
        actions.openFolder(odd);
        QTRY_COMPARE(opened.size(), 2);
        works = false;
        for (const QByteArray &path : {odd, "/nonexistent/x"_ba})
            actions.openFile(path);
        actions.openFolder("/nonexistent/x");
        QTRY_COMPARE(said.size(), 3);
        opened.sort();
        QCOMPARE(opened, (QStringList{url.left(url.lastIndexOf(u'/') + 1), url, url}));
        QStringList texts;
        for (const QVariantList &text : std::as_const(said))
            texts << text[0].toString().remove(m_dir.path());
        texts.sort();
        QCOMPARE(texts, (QStringList{u"/nonexistent/x is no longer there."_s,
                                     u"The folder of /nonexistent/x is no longer there."_s,
                                     u"Unable to open /caf\uFFFD #1.mp3."_s}));
        actions.copyPaths({odd, "/a b"});
        const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(copied->text(), m_dir.path() + u"/caf\uFFFD #1.mp3\n/a b"_s);
        QCOMPARE(copied->data(u"text/uri-list"_s), (url + u"\r\nfile:///a%20b\r\n"_s).toLatin1());
        ::unlink(odd.constData()); // QDir cannot remove a name that is not UTF-8
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
