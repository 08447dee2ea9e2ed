#pragma once

#include "RunComparison.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

// Two runs' domains as a table: 域名, 变化, and for each engine its count before and after, the
// change and the change in percent. Sorts by value (ResultsModel's sort role), like the results.
class ComparisonModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ComparisonModel(QList<ComparedDomain> domains, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    const ComparedDomain &domain(int row) const { return m_domains.at(row); }

private:
    QList<ComparedDomain> m_domains;
};

// The ready choices of what to look at, in the order the window offers them.
enum class ComparisonFilter { All, DropOver30, BecameZero, NewlyFailed, Changed };
QStringList ComparisonFilterNames();

// The comparison as shown: filtered by a ready choice, sorted with rows that have no value
// last in either order.
class ComparisonView : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit ComparisonView(ComparisonModel *model, QObject *parent = nullptr);
    void setFilter(ComparisonFilter filter);

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    ComparisonModel *m_model;
    ComparisonFilter m_filter = ComparisonFilter::All;
};
