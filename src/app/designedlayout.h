// SPDX-License-Identifier: MIT
#pragma once

#include <QLayout>
#include <QList>

namespace twinsift {

// Keeps each widget where the form puts it at the designed size, scaled with the font, and
// lets chosen widgets follow a larger window: grow by its extra width or height, or move
// with its right or bottom edge. The window can grow but not shrink below the scaled form.
class DesignedLayout : public QLayout {
    Q_OBJECT
public:
    enum Follow {
        Stays = 0,
        GrowsWide = 1,
        GrowsTall = 2,
        MovesRight = 4,
        MovesDown = 8,
    };
    Q_DECLARE_FLAGS(Follows, Follow)

    // `designed`: the size the form was drawn at, for 8 point text.
    DesignedLayout(QWidget *parent, QSize designed);
    ~DesignedLayout() override;

    // Takes `widget`'s present geometry as its designed place.
    void add(QWidget *widget, Follows follows);
    // How much larger than the designed 8 point text the parent's font is; never below 1.
    double scale() const;
    static double scaleFor(const QFont &font);

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

private:
    struct Entry {
        QLayoutItem *item;
        QRect designed;
        Follows follows;
    };
    QRect scaled(const QRect &designed) const;

    QList<Entry> m_entries;
    QSize m_designed;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(DesignedLayout::Follows)

} // namespace twinsift
