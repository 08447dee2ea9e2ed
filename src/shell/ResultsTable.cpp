#include "ResultsTable.h"

#include "ResultsOrder.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

#include <array>

namespace {

// Column widths in pixels at 96 dpi, from 编号 to Sogou.
const std::array<int, 6> kWidths { 53, 107, 133, 133, 133, 133 };

// A table wider than laid out gives the extra width to its last column; at its laid-out width
// every column is as wide as set.
class LastColumnTakesTheRoom : public QObject
{
public:
    explicit LastColumnTakesTheRoom(QTableView *table)
        : QObject(table)
        , m_table(table)
        , m_laidOut(table->width())
    {
        table->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_table && event->type() == QEvent::Resize)
            m_table->setColumnWidth(int(kWidths.size()) - 1,
                                    kWidths.back() + std::max(0, m_table->width() - m_laidOut));
        return QObject::eventFilter(watched, event);
    }

private:
    QTableView *m_table;
    int m_laidOut;
};

} // namespace

void SetUpResultsTable(QTableView *table, ResultsOrder *order)
{
    table->setModel(order);
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
    new LastColumnTakesTheRoom(table);
    // In the run's order until a header is clicked.
    columns->setSortIndicator(0, Qt::AscendingOrder);
    table->setSortingEnabled(true);
}
