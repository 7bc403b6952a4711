// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// The picture step of a row click: a file read as a picture, shrunk to fit the preview.
namespace twinsift::imagepreview {

struct Preview {
    bool ok = false;
    QSize pixels;            // the picture's own size
    QSizeF drawn;            // the size it is drawn at
    QImage image;            // decoded at about the drawn size, never larger than the picture
    QString error;           // why the file cannot be shown, for people; empty when it can
    bool incomplete = false; // the file ends before the picture does; the rest is filled
};

// Pictures that claim more pixels than this are not decoded: a header of a few bytes can
// claim billions, and decoding them would take the memory or the time of the whole machine.
inline constexpr qint64 kMostPixels = qint64(1) << 28;

// 1 unless the picture is large: a picture at least as wide as tall is limited to 600
// wide, a taller one to 400 high; the proportions stay.
double shrinkRatio(const QSize &pixels);
QSizeF drawnSize(const QSize &pixels);

// "Image size(" width " x " height ")".
QString sizeText(const QSize &pixels);

// Reads the file at the raw path `path` as a picture. Large pictures are decoded scaled
// down where the format allows it, so that a preview never holds more than it draws; a
// picture whose header claims more than kMostPixels, or one that would have to be decoded
// whole beyond the readers' allocation limit, is refused before any decoding.
Preview load(const QByteArray &path);

} // namespace twinsift::imagepreview
