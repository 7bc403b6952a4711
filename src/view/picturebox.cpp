// SPDX-License-Identifier: MIT
#include "picturebox.h"

#include <QPainter>

namespace twinsift {

PictureBox::PictureBox(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
}

void PictureBox::clear()
{
    m_image = {};
    m_size = {};
    m_text.clear();
    update();
}

void PictureBox::drawPicture(const QImage &image, const QSizeF &size)
{
    m_image = image;
    m_size = size;
    update();
}

void PictureBox::printLine(const QString &text, const QColor &color, const QPoint &topLeft)
{
    m_text = text;
    m_color = color;
    m_textAt = topLeft;
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    if (!m_image.isNull())
        painter.drawImage(QRectF(QPointF(0, 0), m_size), m_image);
    if (!m_text.isEmpty()) {
        painter.setPen(m_color);
        const QRect line(m_textAt, QSize(width() - m_textAt.x(), fontMetrics().height()));
        painter.drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_text);
    }
}

} // namespace twinsift
