#include "ComparisonModel.h"

#include "ResultsModel.h"

#include <QLocale>

namespace {

const char *const kEngines[] = { "百度", "Google", "360", "Sogou" };
constexpr int kFirstEngine = 2;
enum Part { Before, After, Change, Percent };

QString Signed(qint64 value)
{
    // Grouped as the counts are, whatever the system's locale.
    return (value > 0 ? QStringLiteral("+") : QString())
        + QLocale(QLocale::English).toString(value);
}

} // namespace

ComparisonModel::ComparisonModel(QList<ComparedDomain> domains, QObject *parent)
    : QAbstractTableModel(parent)
    , m_domains(std::move(domains))
{
}

int ComparisonModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_domains.size());
}

int ComparisonModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kFirstEngine + 4 * 4;
}

QVariant ComparisonModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)
        || (role != Qt::DisplayRole && role != ResultsModel::kSortRole))
        return {};
    const ComparedDomain &row = m_domains.at(index.row());
    if (index.column() == 0)
        return row.domain;
    if (index.column() == 1)
        return KindText(row.kind);
    const int k = (index.column() - kFirstEngine) / 4;
    const bool sorting = role == ResultsModel::kSortRole;
    switch ((index.column() - kFirstEngine) % 4) {
    case Before:
        return sorting ? (row.beforeValues[k] ? QVariant(*row.beforeValues[k]) : QVariant())
                       : QVariant(row.before[k]);
    case After:
        return sorting ? (row.afterValues[k] ? QVariant(*row.afterValues[k]) : QVariant())
                       : QVariant(row.after[k]);
    case Change:
        if (const std::optional<qint64> moved = row.change(k))
            return sorting ? QVariant(*moved) : QVariant(Signed(*moved));
        return {};
    default:
        if (const std::optional<double> percent = row.percent(k))
            return sorting ? QVariant(*percent)
                           : QVariant(QStringLiteral("%1%2%")
                                          .arg(*percent > 0 ? QStringLiteral("+") : QString())
                                          .arg(*percent, 0, 'f', 1));
        return {};
    }
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const int part = (section - kFirstEngine) % 4;
    if (role == ResultsModel::kNumbersRole) // a spreadsheet gets the counts as numbers
        return section >= kFirstEngine && part != Percent;
    if (role == Qt::InitialSortOrderRole) // the largest first, as in the results
        return int(section >= kFirstEngine ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (role != Qt::DisplayRole)
        return {};
    if (section == 0)
        return QStringLiteral("域名");
    if (section == 1)
        return QStringLiteral("变化");
    const QString engine = QString::fromUtf8(kEngines[(section - kFirstEngine) / 4]);
    const char *const parts[] = { "（前）", "（后）", "变化", "变化%" };
    return engine + QString::fromUtf8(parts[part]);
}

QStringList ComparisonFilterNames()
{
    return { QStringLiteral("全部"), QStringLiteral("下降超过30%"), QStringLiteral("变为0"),
             QStringLiteral("新失败"), QStringLiteral("只看有变化的") };
}

ComparisonView::ComparisonView(ComparisonModel *model, QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_model(model)
{
    setSourceModel(model);
    setSortRole(ResultsModel::kSortRole);
}

void ComparisonView::setFilter(ComparisonFilter filter)
{
    m_filter = filter;
    invalidateRowsFilter();
}

bool ComparisonView::filterAcceptsRow(int row, const QModelIndex &) const
{
    const ComparedDomain &domain = m_model->domain(row);
    const auto anyEngine = [&domain](auto test) {
        for (int k = 0; k < 4; ++k) {
            if (test(k))
                return true;
        }
        return false;
    };
    switch (m_filter) {
    case ComparisonFilter::DropOver30:
        return anyEngine([&](int k) { return domain.percent(k).value_or(0) < -30; });
    case ComparisonFilter::BecameZero:
        return anyEngine([&](int k) {
            return domain.beforeValues[k].value_or(0) > 0 && domain.afterValues[k] == 0;
        });
    case ComparisonFilter::NewlyFailed:
        return domain.kind == ComparedDomain::Kind::NewlyFailed;
    case ComparisonFilter::Changed:
        return domain.kind != ComparedDomain::Kind::Same
            || anyEngine([&](int k) { return domain.change(k).value_or(0) != 0; });
    case ComparisonFilter::All:
        break;
    }
    return true;
}

bool ComparisonView::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const QVariant a = left.data(sortRole()), b = right.data(sortRole());
    // Rows with no value go last, whichever way the column is sorted.
    if (!a.isValid() || !b.isValid()) {
        if (a.isValid() == b.isValid())
            return left.row() < right.row();
        return (sortOrder() == Qt::AscendingOrder) == a.isValid();
    }
    if (a.userType() == QMetaType::QString)
        return a.toString().localeAwareCompare(b.toString()) < 0;
    return a.toDouble() < b.toDouble();
}
