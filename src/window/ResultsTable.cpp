#include "ResultsTable.h"

#include "ResultsOrder.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

#include <array>

namespace {

// Column widths in pixels at 96 dpi, from 编号 to Sogou.
const std::array<int, 6> kWidths { 53, 107, 133, 133, 133, 133 };

// A table wider than laid out gives half its extra width to the domains, which are cut short
// first, and the other half to the four counts alike; at its laid-out width every column is as
// wide as set.
class ColumnsShareTheRoom : public QObject
{
public:
    explicit ColumnsShareTheRoom(QTableView *table)
        : QObject(table)
        , m_table(table)
        , m_laidOut(table->width())
    {
        table->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_table && event->type() == QEvent::Resize) {
            const int extra = std::max(0, m_table->width() - m_laidOut);
            const int counts = int(kWidths.size()) - 2;
            const int perCount = (extra - extra / 2) / counts;
            m_table->setColumnWidth(1, kWidths[1] + extra / 2);
            for (int column = 2; column < int(kWidths.size()); ++column)
                m_table->setColumnWidth(column, kWidths[column] + perCount);
            // What does not divide evenly goes to the last column.
            m_table->setColumnWidth(int(kWidths.size()) - 1,
                                    kWidths.back() + extra - extra / 2 - perCount * (counts - 1));
        }
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
    new ColumnsShareTheRoom(table);
    // In the run's order until a header is clicked; the arrow shows once the user sorts.
    columns->setSortIndicator(0, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    columns->setSortIndicatorShown(false);
    QObject::connect(columns, &QHeaderView::sectionClicked, columns,
                     [columns] { columns->setSortIndicatorShown(true); });
}
