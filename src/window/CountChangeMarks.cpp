#include "CountChangeMarks.h"

#include "ResultsModel.h"

#include <QApplication>
#include <QPainter>
#include <QPolygonF>

void CountChangeMarks::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const QVariant change = index.data(ResultsModel::kChangeRole);
    if (!change.isValid() || change.toInt() == 0)
        return;
    const bool up = change.toInt() > 0;
    const QRectF cell = option.rect;
    const qreal size = std::min<qreal>(7, cell.height() / 2);
    const qreal half = size / 2;
    // Right after the number it describes, whatever the column's width; at the cell's edge when
    // the number fills the cell.
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QStyle *style = item.widget ? item.widget->style() : QApplication::style();
    const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
    const qreal after = text.left() + item.fontMetrics.horizontalAdvance(item.text) + 3 + half;
    const QPointF centre(std::min(after, cell.right() - half - 1), cell.center().y());
    QPolygonF mark;
    if (up)
        mark << QPointF(centre.x() - half, centre.y() + half)
             << QPointF(centre.x() + half, centre.y() + half)
             << QPointF(centre.x(), centre.y() - half);
    else
        mark << QPointF(centre.x() - half, centre.y() - half)
             << QPointF(centre.x() + half, centre.y() - half)
             << QPointF(centre.x(), centre.y() + half);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    // Red for a rise and green for a fall, as counts are read on Chinese screens; on a selected
    // row, whose colour would drown them, the selection's text colour: the shape still tells.
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    painter->setBrush(selected ? option.palette.color(QPalette::HighlightedText)
                          : up ? QColor(0xd3, 0x2f, 0x2f)
                               : QColor(0x2e, 0x7d, 0x32));
    painter->drawPolygon(mark);
    painter->restore();
}
