#include "ResultsModel.h"

#include "CountReading.h"

#include <QColor>
#include <QFont>

#include <algorithm>

#include <array>

namespace {

const std::array<const char *, 6> kColumns { "编号", "域名", "百度", "Google", "360", "Sogou" };

const int kFirstCount = 2;

} // namespace

std::array<std::optional<qint64>, 4> ResultsModel::ValuesOf(const PageCounts &counts)
{
    std::array<std::optional<qint64>, 4> values;
    for (int k = 0; k < 4; ++k)
        values[k] = CountValue(counts[k]);
    return values;
}

QStringList ResultsModel::header()
{
    QStringList texts;
    for (const char *text : kColumns)
        texts << QString::fromUtf8(text);
    return texts;
}

QList<bool> ResultsModel::numberColumns()
{
    QList<bool> numbers;
    for (int column = 0; column < int(kColumns.size()); ++column)
        numbers << (column != 1);
    return numbers;
}

int ResultsModel::rowOf(const RowKey &key) const
{
    return key.table == m_table && key.row >= 0 && key.row < int(m_rows.size()) ? key.row : -1;
}

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(kColumns.size());
}

QString ResultsModel::cell(int row, int column) const
{
    if (column == 0)
        return QString::number(m_rows.at(row).number);
    if (column == 1)
        return m_rows.at(row).domain;
    return m_rows.at(row).counts.at(column - kFirstCount);
}

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole)
        return cell(index.row(), index.column());
    if (role == kSortRole) {
        if (index.column() == 0)
            return index.row();
        if (index.column() == 1)
            return m_rows.at(index.row()).domain;
        const std::optional<qint64> value
            = m_rows.at(index.row()).values.at(index.column() - kFirstCount);
        return value ? QVariant(*value) : QVariant();
    }
    const Row &row = m_rows.at(index.row());
    // Read out as it is hovered: a count's change, or why the row failed.
    if (role == Qt::AccessibleDescriptionRole)
        role = Qt::ToolTipRole;
    if (index.column() >= kFirstCount && (role == Qt::ToolTipRole || role == kChangeRole)) {
        const auto kept = m_previous.constFind(index.row());
        const std::optional<PreviousCount> previous
            = kept == m_previous.cend() ? std::nullopt : kept->at(index.column() - kFirstCount);
        const QString &now = row.counts.at(index.column() - kFirstCount);
        if (role == kChangeRole) {
            const std::optional<int> direction = CountDirection(previous, now);
            return direction ? QVariant(*direction) : QVariant();
        }
        if (previous && row.failure.isEmpty())
            return CountChangeText(*previous, now);
    }
    const QString &failure = row.failure;
    if (failure.isEmpty())
        return {};
    // A failed row looks unlike one still waiting, without a cell text of its own changed.
    if (role == Qt::ToolTipRole)
        return QStringLiteral("失败原因：") + failure;
    if (role == kFailureRole)
        return failure;
    // Muted, yet readable (5.7:1 on white); italic, so a selected failed row still shows it.
    if (role == Qt::ForegroundRole && index.column() < kFirstCount)
        return QColor(0x66, 0x66, 0x66);
    if (role == Qt::FontRole && index.column() < kFirstCount) {
        QFont italic;
        italic.setItalic(true);
        return italic;
    }
    return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(kColumns.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kColumns[section]);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == kNumbersRole)
        return numberColumns().at(section);
    if (role == Qt::InitialSortOrderRole) // the largest counts first; the rest from the top
        return int(section >= kFirstCount ? Qt::DescendingOrder : Qt::AscendingOrder);
    return {};
}

void ResultsModel::appendRow(const QString &domain, const std::optional<PageCounts> &counts,
                             const QString &failure)
{
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    const PageCounts cells = counts.value_or(PageCounts {});
    const int number = m_rows.isEmpty() ? 1 : m_rows.constLast().number + 1;
    m_rows.append({ number, domain, cells, counts ? QString() : failure, ValuesOf(cells) });
    endInsertRows();
    emit rowLanded(row);
}

void ResultsModel::fillRow(int row, const PageCounts &counts)
{
    m_rows[row].counts = counts;
    m_rows[row].failure.clear();
    m_rows[row].values = ValuesOf(counts);
    emit dataChanged(index(row, 0), index(row, int(kColumns.size()) - 1));
    emit rowLanded(row);
}

void ResultsModel::failRow(int row, const QString &failure)
{
    m_rows[row].failure = failure;
    emit dataChanged(index(row, 0), index(row, int(kColumns.size()) - 1));
    emit rowLanded(row);
}

void ResultsModel::replaceRows(const QList<KeptRow> &rows)
{
    beginNewTable();
    m_rows.clear();
    m_previous.clear();
    m_rows.reserve(rows.size());
    for (const KeptRow &kept : rows) {
        const bool failed = std::all_of(kept.counts.begin(), kept.counts.end(),
                                        [](const QString &count) { return count.isEmpty(); });
        if (std::any_of(kept.previous.begin(), kept.previous.end(),
                        [](const auto &count) { return count.has_value(); }))
            m_previous.insert(int(m_rows.size()), kept.previous);
        m_rows.append({ kept.number, kept.domain, kept.counts, failed ? kept.failure : QString(),
                        ValuesOf(kept.counts) });
    }
    endResetModel();
}

void ResultsModel::setPrevious(int row, const QString &domain, const PreviousCounts &previous)
{
    if (row < 0 || row >= int(m_rows.size()) || m_rows.at(row).domain != domain)
        return;
    m_previous.insert(row, previous);
    emit dataChanged(index(row, kFirstCount), index(row, int(kColumns.size()) - 1));
}

int ResultsModel::rowNumbered(int number) const
{
    const auto at = std::lower_bound(m_rows.cbegin(), m_rows.cend(), number,
                                     [](const Row &row, int n) { return row.number < n; });
    return at != m_rows.cend() && at->number == number ? int(at - m_rows.cbegin()) : -1;
}

void ResultsModel::beginNewTable()
{
    beginResetModel();
    ++m_table; // one place, so that no table ever gets an identity an earlier one had
}

void ResultsModel::clear()
{
    beginNewTable();
    m_rows.clear();
    m_rows.squeeze();
    m_previous.clear();
    endResetModel();
}

QStringList ResultsModel::rowTexts(int row) const
{
    QStringList texts;
    for (int column = 0; column < int(kColumns.size()); ++column)
        texts << cell(row, column);
    return texts;
}

bool ResultsModel::rowFailed(int row) const
{
    for (const QString &count : m_rows.at(row).counts) {
        if (!count.isEmpty())
            return false;
    }
    return true;
}

QList<int> ResultsModel::failedRows() const
{
    QList<int> rows;
    for (int row = 0; row < int(m_rows.size()); ++row) {
        if (rowFailed(row))
            rows << row;
    }
    return rows;
}
