// SPDX-License-Identifier: MIT
#include "designedlayout.h"

#include <QFontMetricsF>
#include <QWidget>

#include <cmath>

namespace twinsift {

DesignedLayout::DesignedLayout(QWidget *parent, QSize designed)
    : QLayout(parent), m_designed(designed)
{
    setContentsMargins(0, 0, 0, 0);
}

DesignedLayout::~DesignedLayout()
{
    for (const Entry &entry : std::as_const(m_entries))
        delete entry.item;
}

void DesignedLayout::add(QWidget *widget, Follows follows)
{
    const QRect designed = widget->geometry();
    addChildWidget(widget);
    m_entries.append({new QWidgetItem(widget), designed, follows});
    invalidate();
}

void DesignedLayout::addItem(QLayoutItem *item)
{
    m_entries.append({item, item->geometry(), Stays});
}

int DesignedLayout::count() const
{
    return int(m_entries.size());
}

QLayoutItem *DesignedLayout::itemAt(int index) const
{
    return index >= 0 && index < m_entries.size() ? m_entries[index].item : nullptr;
}

QLayoutItem *DesignedLayout::takeAt(int index)
{
    return index >= 0 && index < m_entries.size() ? m_entries.takeAt(index).item : nullptr;
}

double DesignedLayout::scaleFor(const QFont &font)
{
    QFont designed = font;
    designed.setPointSizeF(8);
    return std::max(1.0, QFontMetricsF(font).height() / QFontMetricsF(designed).height());
}

double DesignedLayout::scale() const
{
    return parentWidget() ? scaleFor(parentWidget()->font()) : 1.0;
}

QRect DesignedLayout::scaled(const QRect &designed) const
{
    const double factor = scale();
    const auto at = [factor](int value) { return int(std::lround(value * factor)); };
    return {at(designed.x()), at(designed.y()), at(designed.width()), at(designed.height())};
}

QSize DesignedLayout::sizeHint() const
{
    return minimumSize();
}

QSize DesignedLayout::minimumSize() const
{
    return scaled(QRect(QPoint(), m_designed)).size();
}

// Set on the widgets themselves, hidden ones too, so that a widget shown later (the preview)
// appears in its place.
void DesignedLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    // Places count from the parent's corner, as in the form; a group box's title is inside.
    const QSize base = minimumSize();
    const QSize room = parentWidget()->size();
    const int wider = std::max(0, room.width() - base.width());
    const int taller = std::max(0, room.height() - base.height());
    for (const Entry &entry : std::as_const(m_entries)) {
        QRect place = scaled(entry.designed);
        place.setWidth(place.width() + (entry.follows & GrowsWide ? wider : 0));
        place.setHeight(place.height() + (entry.follows & GrowsTall ? taller : 0));
        place.translate(entry.follows & MovesRight ? wider : 0,
                        entry.follows & MovesDown ? taller : 0);
        if (QWidget *widget = entry.item->widget())
            widget->setGeometry(place);
        else
            entry.item->setGeometry(place);
    }
}

} // namespace twinsift
