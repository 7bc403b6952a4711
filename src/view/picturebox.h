// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>
#include <QImage>

namespace twinsift {

// The preview surface: a picture drawn from its top-left corner at a given size, with one
// line of text printed over it.
class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    void clear();
    void drawPicture(const QImage &image, const QSizeF &size);
    void printLine(const QString &text, const QColor &color, const QPoint &topLeft);

    const QImage &picture() const { return m_image; }
    QSizeF pictureSize() const { return m_size; }
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
    QSizeF m_size;
    QString m_text;
    QColor m_color;
    QPoint m_textAt;
};

} // namespace twinsift
