#pragma once

#include <QSortFilterProxyModel>

class ResultsModel;

// The results in the order the table shows them: by a clicked column (counts by their value,
// the number by the run's order), rows without a value last whichever way; and, when asked,
// only the failed rows. New rows take their sorted place as they come.
class ResultsOrder : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit ResultsOrder(ResultsModel *results, QObject *parent = nullptr);

    void setFailedOnly(bool failedOnly);
    bool failedOnly() const { return m_failedOnly; }

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override;

private:
    ResultsModel *m_results;
    bool m_failedOnly = false;
};
