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
    QSize pixels;   // the picture's own size
    QSizeF drawn;   // the size it is drawn at
    QImage image;   // decoded at about the drawn size, never larger than the picture
};

// 1 unless the picture is large: a picture at least as wide as tall is limited to 600
// wide, a taller one to 400 high; the proportions stay.
double shrinkRatio(const QSize &pixels);
QSizeF drawnSize(const QSize &pixels);

// "Image size(" width " x " height ")".
QString sizeText(const QSize &pixels);

// Reads the file at the raw path `path` as a picture. Large pictures are decoded scaled
// down where the format allows it, so that a preview never holds more than it draws.
Preview load(const QByteArray &path);

} // namespace twinsift::imagepreview
