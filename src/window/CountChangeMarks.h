#pragma once

#include <QStyledItemDelegate>

// Draws a small mark beside a count that changed since the domain's previous result: up or
// down, at the cell's right edge. The cell's text is left exactly as it is.
class CountChangeMarks : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
