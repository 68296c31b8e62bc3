#pragma once
// The tree view of a grid. Group rows draw their branch and caption across
// the whole row from the first shown column: the view's own spanning draws
// from model column 0, which the windows keep hidden (it holds the row
// key). Records stay unindented, so a narrow icon column in front keeps
// its icons.

#include <QTreeView>

namespace velto {

class GridView : public QTreeView
{
    Q_OBJECT
public:
    explicit GridView(QWidget *parent = nullptr);

    // Rows as the view lays them out, from 0: the rows under a collapsed
    // group do not count. Screen readers address cells this way.
    [[nodiscard]] int shownRowCount() const { return shownBelow(QModelIndex()); }
    [[nodiscard]] QModelIndex shownRow(int row) const;
    // -1 when the row lies under a collapsed group.
    [[nodiscard]] int shownRowOf(const QModelIndex &index) const;
    // Leaves the rows to be laid out when the view next needs them; groups
    // expanded until then are only noted.
    void layOutLater() { scheduleDelayedItemsLayout(); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    [[nodiscard]] int firstShownLeft() const;
    [[nodiscard]] int depthOf(const QModelIndex &index) const;
    [[nodiscard]] bool holdsRecords(const QModelIndex &parent) const;
    [[nodiscard]] int shownBelow(const QModelIndex &parent) const;
};

} // namespace velto
