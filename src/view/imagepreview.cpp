// SPDX-License-Identifier: MIT
#include "imagepreview.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace twinsift::imagepreview {

namespace {

constexpr int kWidest = 600;
constexpr int kTallest = 400;

// The decoders' texts speak of damage; a file that is no picture at all is not damaged.
QString whyUnread(const QImageReader &reader)
{
    return reader.error() == QImageReader::UnsupportedFormatError
               ? QCoreApplication::translate("Preview", "not a picture")
               : reader.errorString();
}

// A JPEG ends with its end-of-image marker, which the coded data can never hold; a decoder
// that meets the file's end before it fills the rest of the picture silently.
bool endsEarly(QFile &file, const QByteArray &format)
{
    if (format != "jpeg" || !file.seek(std::max<qint64>(0, file.size() - 64)))
        return false;
    return !file.read(64).contains("\xff\xd9");
}

QString tooLarge(const QSize &pixels)
{
    return QCoreApplication::translate("Preview", "%1 x %2 pixels is too large to preview")
        .arg(pixels.width())
        .arg(pixels.height());
}

Preview failed(const QString &why)
{
    Preview preview;
    preview.error = why;
    return preview;
}

// Opens a regular file by its raw path; anything else (a pipe, a device) is not read.
// Returns why it cannot be read, or an empty text.
QString openRegular(const QByteArray &path, QFile &file)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return QCoreApplication::translate("Preview", "not a file");
    }
    if (info.st_size == 0) {
        ::close(fd);
        return QCoreApplication::translate("Preview", "the file is empty");
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return file.errorString();
    return {};
}

} // namespace

double shrinkRatio(const QSize &pixels)
{
    const int w = pixels.width();
    const int h = pixels.height();
    if (w < h && h > kTallest)
        return double(h) / kTallest;
    if (w >= h && w > kWidest)
        return double(w) / kWidest;
    return 1.0;
}

QSizeF drawnSize(const QSize &pixels)
{
    const double ratio = shrinkRatio(pixels);
    return {pixels.width() / ratio, pixels.height() / ratio};
}

QString sizeText(const QSize &pixels)
{
    return QCoreApplication::translate("Preview", "Image size(%1 x %2)")
        .arg(pixels.width())
        .arg(pixels.height());
}

Preview load(const QByteArray &path)
{
    QFile file;
    const QString unreadable = openRegular(path, file);
    if (!unreadable.isEmpty())
        return failed(unreadable);
    QImageReader reader(&file);
    // Asked before reading: the reader forgets it once it has read.
    const QByteArray format = reader.format();
    Preview preview;
    preview.pixels = reader.size();
    if (preview.pixels.isValid() && !preview.pixels.isEmpty()) {
        const qint64 pixels = qint64(preview.pixels.width()) * preview.pixels.height();
        if (pixels > kMostPixels)
            return failed(tooLarge(preview.pixels));
        // Only JPEG decodes at a smaller size; the others decode whole, 4 bytes a pixel, and
        // past the readers' limit fail with a text that would blame the file.
        const qint64 limit = qint64(QImageReader::allocationLimit()) << 20;
        if (limit > 0 && pixels * 4 > limit && format != "jpeg")
            return failed(tooLarge(preview.pixels));
        preview.drawn = drawnSize(preview.pixels);
        if (shrinkRatio(preview.pixels) > 1.0) {
            const QSize decoded(std::max(1, int(std::lround(preview.drawn.width()))),
                                std::max(1, int(std::lround(preview.drawn.height()))));
            reader.setScaledSize(decoded);
        }
        preview.image = reader.read();
    } else {
        // The format tells its size only by decoding.
        preview.image = reader.read();
        preview.pixels = preview.image.size();
        preview.drawn = drawnSize(preview.pixels);
        if (shrinkRatio(preview.pixels) > 1.0)
            preview.image = preview.image.scaled(preview.drawn.toSize().expandedTo({1, 1}),
                                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    preview.ok = !preview.image.isNull() && !preview.pixels.isEmpty();
    if (!preview.ok)
        return failed(whyUnread(reader));
    preview.incomplete = endsEarly(file, format);
    return preview;
}

} // namespace twinsift::imagepreview
