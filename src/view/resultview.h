// SPDX-License-Identifier: MIT
#pragma once

#include <QTableView>

namespace twinsift {

// The result list. It tells a click on a row apart from a click on the row's check box, as
// the window handles the two differently, and shows the row's path (or both paths of a pair)
// as the tooltip of the row under the pointer. From the keyboard, Space ticks or unticks the
// selected row as its check box would, Enter asks to open its file and Delete asks to delete
// the ticked files; the context menu is asked for with the row and column under the pointer.
class ResultView : public QTableView {
    Q_OBJECT
public:
    explicit ResultView(QWidget *parent = nullptr);

    // Where the check box of a row is drawn, in viewport coordinates.
    QRect checkBoxRect(int row) const;
    // The tooltip for a point of the viewport: empty where there is no row.
    QString toolTipAt(const QPoint &position) const;
    // The row the keyboard acts on: the selected one, else the current one; -1 for none.
    int activeRow() const;
    // Sets the columns to the widths of the model's column table; in a list wider than that,
    // the path columns share the extra width.
    void fitColumns();

Q_SIGNALS:
    void itemClick(int row);
    void openRequested(int row);
    void deleteRequested();
    // `row` is -1 where there is no row.
    void rowMenuRequested(int row, int column, const QPoint &globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    QPersistentModelIndex m_pressed;
};

} // namespace twinsift
