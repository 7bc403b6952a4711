// SPDX-License-Identifier: MIT
#pragma once

#include <QStringView>
#include <QStyledItemDelegate>

#include <utility>

namespace twinsift {

// Draws the path cells of the result list: elided in the middle, so that the file's name
// always shows, and, in a pair row, with the letters where the two names differ marked.
// Other cells, and the tooltips, are drawn as usual.
class PathDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    // The part of `name` that differs from `other`, as [begin, end): what is left between
    // the start and the end they have in common.
    static std::pair<qsizetype, qsizetype> differing(QStringView name, QStringView other);
};

} // namespace twinsift
