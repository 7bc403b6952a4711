// SPDX-License-Identifier: MIT
#include "resultview.h"

#include "app/resultmodel.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
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
    // Tab leaves the list for the next control instead of walking its cells.
    setTabKeyNavigation(false);
}

// The table's widths, and the path columns share what the list has beyond them.
void ResultView::fitColumns()
{
    const auto *results = qobject_cast<const ResultModel *>(model());
    if (!results)
        return;
    const std::span<const Column> columns = results->columns();
    int designed = 0;
    int paths = 0;
    const auto isPath = [](const Column &column) {
        return column.cell == Cell::Path || column.cell == Cell::File1 ||
               column.cell == Cell::File2;
    };
    for (const Column &column : columns) {
        designed += column.width;
        paths += isPath(column) ? 1 : 0;
    }
    const int extra = paths > 0 ? std::max(0, viewport()->width() - designed) / paths : 0;
    for (size_t i = 0; i < columns.size(); ++i)
        setColumnWidth(int(i), columns[i].width + (isPath(columns[i]) ? extra : 0));
}

void ResultView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitColumns();
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

int ResultView::activeRow() const
{
    if (!model() || !selectionModel())
        return -1;
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (!selected.isEmpty())
        return selected.front().row();
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void ResultView::keyPressEvent(QKeyEvent *event)
{
    // Shift+F10 opens the row menu, as the menu key does, where desktops do not map it.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
        contextMenuEvent(&menu);
        return;
    }
    // Only the plain keys: Shift+Delete, which file managers use to delete for good, must
    // not look as if it did that here.
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QTableView::keyPressEvent(event);
        return;
    }
    const int row = activeRow();
    switch (event->key()) {
    case Qt::Key_Space:
        // Through the model, as a click on the box would: the window does its bookkeeping.
        if (row >= 0) {
            const QModelIndex box = model()->index(row, 0);
            const bool ticked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            model()->setData(box, int(ticked ? Qt::Unchecked : Qt::Checked), Qt::CheckStateRole);
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (row >= 0)
            Q_EMIT openRequested(row);
        break;
    case Qt::Key_Delete:
        Q_EMIT deleteRequested();
        break;
    default:
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ResultView::contextMenuEvent(QContextMenuEvent *event)
{
    QModelIndex cell;
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        cell = indexAt(event->pos());
    } else {
        // The menu key: the menu belongs to the row the keyboard is on, shown beside it.
        const int row = activeRow();
        if (row >= 0) {
            cell = currentIndex().row() == row ? currentIndex() : model()->index(row, 0);
            scrollTo(cell);
            at = viewport()->mapToGlobal(visualRect(cell).center());
        }
    }
    // Below the rows, or in an empty list, the menu still offers what needs no row.
    event->accept();
    Q_EMIT rowMenuRequested(cell.isValid() ? cell.row() : -1, cell.column(), at);
}

// The keys that move the current row without selecting it (Ctrl+Home, Ctrl+arrows) would
// leave Space and "&Switch Items" acting on different rows: the selection follows.
void ResultView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid() && selectionModel() && !selectionModel()->isRowSelected(current.row()))
        selectionModel()->select(current,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
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
    const bool onCheckBox =
        cell.isValid() && cell.column() == 0 && checkBoxRect(cell.row()).contains(position);
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
