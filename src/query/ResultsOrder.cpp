#include "ResultsOrder.h"

#include "ResultsModel.h"

ResultsOrder::ResultsOrder(ResultsModel *results, QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_results(results)
{
    setSourceModel(results);
    setSortRole(ResultsModel::kSortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setDynamicSortFilter(true);
}

void ResultsOrder::setFailedOnly(bool failedOnly)
{
    if (failedOnly == m_failedOnly)
        return;
    m_failedOnly = failedOnly;
    invalidateRowsFilter();
}

bool ResultsOrder::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const QVariant a = left.data(sortRole()), b = right.data(sortRole());
    // No value sorts last both ways: the view reverses the comparison for a descending order.
    const bool ascending = sortOrder() == Qt::AscendingOrder;
    if (!a.isValid() || !b.isValid()) {
        if (a.isValid() == b.isValid())
            return ascending ? left.row() < right.row() : left.row() > right.row();
        return a.isValid() == ascending;
    }
    if (a.typeId() == QMetaType::QString)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive) < 0;
    return a.toLongLong() < b.toLongLong();
}

bool ResultsOrder::filterAcceptsRow(int row, const QModelIndex &) const
{
    return !m_failedOnly || m_results->rowFailed(row);
}
