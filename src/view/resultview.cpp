// SPDX-License-Identifier: MIT
#include "resultview.h"

#include "app/resultmodel.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

namespace twinsift {

ResultView::ResultView(QWidget *parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setSortingEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
}

QRect ResultView::checkBoxRect(int row) const
{
    const QModelIndex cell = model()->index(row, 0);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(cell);
    option.index = cell;
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = cell.data().toString();
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

QString ResultView::toolTipAt(const QPoint &position) const
{
    const QModelIndex cell = indexAt(position);
    const auto *results = qobject_cast<const ResultModel *>(model());
    if (!cell.isValid() || !results)
        return {};
    return results->toolTipText(cell.row());
}

void ResultView::mousePressEvent(QMouseEvent *event)
{
    m_pressed = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
}

void ResultView::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint position = event->position().toPoint();
    const QModelIndex cell = indexAt(position);
    const bool onCheckBox = cell.isValid() && cell.column() == 0 &&
                            checkBoxRect(cell.row()).contains(position);
    const bool click = event->button() == Qt::LeftButton && cell.isValid() && cell == m_pressed;
    QTableView::mouseReleaseEvent(event);
    // A click on the check box is the user's tick, which the model reports on its own.
    if (click && !onCheckBox)
        Q_EMIT itemClick(cell.row());
}

void ResultView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QTableView::changeEvent(event);
}

bool ResultView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QTableView::viewportEvent(event);
}

} // namespace twinsift
