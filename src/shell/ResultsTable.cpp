#include "ResultsTable.h"

#include "ResultsModel.h"

#include <QHeaderView>
#include <QTableView>

#include <array>

namespace {

// Column widths in pixels at 96 dpi, from 编号 to Sogou.
const std::array<int, 6> kWidths { 53, 107, 133, 133, 133, 133 };

} // namespace

void SetUpResultsTable(QTableView *table, ResultsModel *results)
{
    table->setModel(results);
    for (int i = 0; i < int(kWidths.size()); ++i)
        table->setColumnWidth(i, kWidths[i]);
    QHeaderView *columns = table->horizontalHeader();
    columns->setStretchLastSection(false);
    columns->setSectionsMovable(false);
    columns->setSectionsClickable(true);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Rows as a list shows them: one line of text high, all alike.
    QHeaderView *rows = table->verticalHeader();
    rows->setMinimumSectionSize(0);
    rows->setDefaultSectionSize(table->fontMetrics().height() + 4);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
}
