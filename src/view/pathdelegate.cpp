// SPDX-License-Identifier: MIT
#include "pathdelegate.h"

#include "app/resultmodel.h"
#include "listing/rawname.h"

#include <QApplication>
#include <QPainter>

namespace twinsift {

namespace {

QString nameOf(const QByteArray &path)
{
    return rawname::display(QByteArrayView(path).sliced(path.lastIndexOf('/') + 1));
}

} // namespace

std::pair<qsizetype, qsizetype> PathDelegate::differing(QStringView name, QStringView other)
{
    qsizetype start = 0;
    while (start < name.size() && start < other.size() && name[start] == other[start])
        ++start;
    qsizetype end = 0;
    while (end < name.size() - start && end < other.size() - start &&
           name[name.size() - 1 - end] == other[other.size() - 1 - end])
        ++end;
    return {start, name.size() - end};
}

void PathDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                         const QModelIndex &index) const
{
    const auto *model = qobject_cast<const ResultModel *>(index.model());
    const std::span<const Column> columns = model ? model->columns() : std::span<const Column>();
    const Cell cell = size_t(index.column()) < columns.size() ? columns[size_t(index.column())].cell
                                                              : Cell::Number;
    if (cell != Cell::Path && cell != Cell::File1 && cell != Cell::File2) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const bool pairs = cell != Cell::Path;
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget *widget = item.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget)
                           .adjusted(margin, 0, -margin, 0);
    const QFontMetrics &metrics = item.fontMetrics;
    const QByteArray path =
        cell == Cell::File2 ? model->secondPath(index.row()) : model->pathCell(index.row());
    const QString name = nameOf(path);
    // The folder gives way first, so that the whole name shows while it fits.
    QString shown = text;
    if (metrics.horizontalAdvance(text) > area.width()) {
        const int room = area.width() - metrics.horizontalAdvance(name);
        shown =
            room > metrics.horizontalAdvance(QStringLiteral("\u2026/"))
                ? metrics.elidedText(text.left(text.size() - name.size()), Qt::ElideMiddle, room) +
                      name
                : metrics.elidedText(text, Qt::ElideMiddle, area.width());
    }
    const QPalette::ColorGroup group =
        item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    const bool selected = item.state & QStyle::State_Selected;
    const QColor textColour =
        item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);

    painter->save();
    if (pairs && shown.endsWith(name)) {
        const QString other = nameOf(cell == Cell::File2 ? model->pathCell(index.row())
                                                         : model->secondPath(index.row()));
        const auto [begin, end] = differing(name, other);
        // The theme's own colours: its selection colour, faded, behind the letters, or, on a
        // selected row, a frame in the selected text's colour; the text keeps its contrast
        // in light and dark themes alike.
        const qsizetype offset = shown.size() - name.size();
        const QRect mark(
            area.left() + metrics.horizontalAdvance(shown.left(offset + begin)), area.top() + 1,
            metrics.horizontalAdvance(shown.mid(offset + begin, end - begin)), area.height() - 2);
        if (begin < end && selected) {
            painter->setPen(textColour);
            painter->drawRect(mark.adjusted(0, 0, -1, -1));
        } else if (begin < end) {
            QColor fill = item.palette.color(group, QPalette::Highlight);
            fill.setAlpha(110);
            painter->fillRect(mark, fill);
        }
    }
    painter->setFont(item.font);
    painter->setPen(
        item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter->restore();
}

} // namespace twinsift
