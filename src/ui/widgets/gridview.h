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

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    [[nodiscard]] int firstShownLeft() const;
    [[nodiscard]] int depthOf(const QModelIndex &index) const;
};

} // namespace velto
