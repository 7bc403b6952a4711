// SPDX-License-Identifier: MIT
// The picture step: shrinking, sizes, and files that are no pictures.

#include "view/imagepreview.h"

#include "hostilefiles.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace twinsift;

class TestImagePreview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void shrinking_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QSizeF>("drawn");

        QTest::newRow("wide, halved") << QSize(1200, 800) << QSizeF(600, 400);
        QTest::newRow("tall") << QSize(300, 450) << QSizeF(266.666667, 400);
        QTest::newRow("square, small") << QSize(500, 500) << QSizeF(500, 500);
        QTest::newRow("only the width limits") << QSize(700, 650) << QSizeF(600, 557.142857);
        QTest::newRow("at the width limit") << QSize(600, 400) << QSizeF(600, 400);
        QTest::newRow("at the height limit") << QSize(399, 400) << QSizeF(399, 400);
        QTest::newRow("square, large") << QSize(800, 800) << QSizeF(600, 600);
        QTest::newRow("wider than 32767") << QSize(40000, 100) << QSizeF(600, 1.5);
    }

    void shrinking()
    {
        QFETCH(QSize, pixels);
        QFETCH(QSizeF, drawn);
        const QSizeF size = imagepreview::drawnSize(pixels);
        QVERIFY2(qAbs(size.width() - drawn.width()) < 1e-4, qPrintable(QString::number(size.width())));
        QVERIFY2(qAbs(size.height() - drawn.height()) < 1e-4,
                 qPrintable(QString::number(size.height())));
    }

    void readsPictures_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QByteArray>("format");

        QTest::newRow("png, large") << QSize(1200, 800) << QByteArray("png");
        QTest::newRow("jpeg 2000 wide") << QSize(2000, 300) << QByteArray("jpg");
        QTest::newRow("small bmp") << QSize(40, 30) << QByteArray("bmp");
        QTest::newRow("40000 pixels wide") << QSize(40000, 8) << QByteArray("png");
    }

    void readsPictures()
    {
        QFETCH(QSize, pixels);
        QFETCH(QByteArray, format);
        // The name says nothing about the content: the reader looks at the bytes.
        const QString file = m_dir.filePath(QStringLiteral("picture-%1.dat").arg(QString::fromUtf8(QTest::currentDataTag())));
        QImage image(pixels, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(file, format.constData()));

        const imagepreview::Preview preview = imagepreview::load(QFile::encodeName(file));
        QVERIFY(preview.ok);
        QCOMPARE(preview.pixels, pixels);
        QCOMPARE(preview.drawn, imagepreview::drawnSize(pixels));
        // Decoded no larger than drawn.
        QVERIFY(preview.image.width() <= qCeil(preview.drawn.width()));
        QVERIFY(preview.image.height() <= std::max(1, qCeil(preview.drawn.height())));
        QCOMPARE(imagepreview::sizeText(preview.pixels),
                 QStringLiteral("Image size(%1 x %2)").arg(pixels.width()).arg(pixels.height()));
    }

    void notPictures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text file") << "text";
        QTest::newRow("missing file") << "missing";
        QTest::newRow("folder") << "folder";
        QTest::newRow("pipe, which must not block") << "fifo";
    }

    void notPictures()
    {
        QFETCH(QString, kind);
        const QString file = m_dir.filePath(QStringLiteral("not-") + kind);
        if (kind == QStringLiteral("text")) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("just some words\n");
        } else if (kind == QStringLiteral("folder")) {
            QVERIFY(QDir().mkpath(file));
        } else if (kind == QStringLiteral("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        }
        QVERIFY(!imagepreview::load(QFile::encodeName(file)).ok);
    }

    // Headers that claim billions of pixels in a few bytes: refused before decoding, with the
    // reason. The window tests cover empty, cut-short and mislabelled files.
    void hostilePictures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");

        QTest::newRow("png claiming 100000 x 100000")
            << hostile::pngClaiming(100000, 100000) << "100000 x 100000 pixels is too large";
        QTest::newRow("gif claiming 65535 x 65535")
            << hostile::gifClaiming(65535, 65535) << "65535 x 65535 pixels is too large";
        QTest::newRow("png claiming 20000 x 20000")
            << hostile::pngClaiming(20000, 20000) << "20000 x 20000 pixels is too large";
    }

    void hostilePictures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        // Whatever limit the environment sets for decoders (QT_IMAGEIO_MAXALLOC=0 lifts it),
        // a forged header must be refused before anything is decoded.
        const int limit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(0);
        const QString file = m_dir.filePath(QStringLiteral("hostile.png"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(content);
        out.close();

        const imagepreview::Preview preview = imagepreview::load(QFile::encodeName(file));
        QImageReader::setAllocationLimit(limit);
        QVERIFY(!preview.ok);
        QVERIFY(preview.image.isNull());
        QVERIFY2(preview.error.startsWith(reason), qPrintable(preview.error));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestImagePreview)
#include "tst_imagepreview.moc"
