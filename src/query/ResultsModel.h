#pragma once

#include "CountChange.h"
#include "PageCuts.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>

#include <array>
#include <optional>

// The rows of the results table: number, domain and the four counts of each queried domain.
// A flat model: rows are only appended, filled in place or all cleared, and the view is told
// of each change on its own, so a row added to a long table costs what it costs to a short one.
class ResultsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The header texts of the six columns, as the table shows them.
    static QStringList header();
    // What a cell sorts by: the run's order for the number, the text for the domain, the value
    // a count stands for (none for an empty or unreadable one).
    static constexpr int kSortRole = Qt::UserRole;
    // Why a row has no counts, on each of its cells; nothing for a row with counts.
    static constexpr int kFailureRole = Qt::UserRole + 1;
    // Which way a count moved since the domain's previous result (1 up, -1 down, 0 the same);
    // nothing for a domain seen for the first time.
    static constexpr int kChangeRole = Qt::UserRole + 2;
    // On a column's header: true for a column of numbers (the row number and the counts), which
    // a spreadsheet gets as the numbers they stand for. Any table exported may say it.
    static constexpr int kNumbersRole = Qt::UserRole + 3;
    static QList<bool> numberColumns();

    // Which table the rows belong to. Every replacement of the rows (a start clears them, kept
    // rows are reopened) makes a new table; a stop does not. A page that comes back late asks
    // whether its table is still there, so it never lands in rows it was not asked for.
    using TableId = quint64;
    TableId tableId() const { return m_table; }
    // A row by identity: its table and its place there (rows never move within a table).
    struct RowKey
    {
        TableId table;
        int row;
    };
    RowKey key(int row) const { return { m_table, row }; }
    // The row `key` names, or -1 when its table is gone.
    int rowOf(const RowKey &key) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // A row for `domain`, numbered one after the last row's number, with its counts or, when none
    // came, empty and the reason why (shown as the row's tool tip, its number and domain muted).
    void appendRow(const QString &domain, const std::optional<PageCounts> &counts,
                   const QString &failure = {});
    void fillRow(int row, const PageCounts &counts);
    // A row that failed again, and why this time.
    void failRow(int row, const QString &failure);
    QString failure(int row) const { return m_rows.at(row).failure; }
    void clear();
    // The table filled at once with rows kept from before: their numbers (in ascending order),
    // domains, counts, reasons, and what their domains showed before them.
    struct KeptRow
    {
        int number;
        QString domain;
        PageCounts counts;
        QString failure;
        PreviousCounts previous = {};
    };
    void replaceRows(const QList<KeptRow> &rows);
    // What came before for the domain of `row`: shown in its count cells' tool tips. Ignored
    // when the row holds another domain by now (the table was started afresh).
    void setPrevious(int row, const QString &domain, const PreviousCounts &previous);

    QString domain(int row) const { return m_rows.at(row).domain; }
    int number(int row) const { return m_rows.at(row).number; }
    // The row numbered `number`, or -1.
    int rowNumbered(int number) const;
    // The six cells of a row as the table shows them.
    QStringList rowTexts(int row) const;
    // A row that has failed: no page arrived, or it had no counts row (all four count cells
    // empty). A row of "0"s is a result.
    bool rowFailed(int row) const;
    QList<int> failedRows() const;

signals:
    // A row got its counts or its reason: appended, filled or failed again.
    void rowLanded(int row);

private:
    struct Row
    {
        int number;
        QString domain;
        PageCounts counts;
        QString failure;
        std::array<std::optional<qint64>, 4> values; // read once, for sorting
    };
    static std::array<std::optional<qint64>, 4> ValuesOf(const PageCounts &counts);

    QString cell(int row, int column) const;
    void beginNewTable();

    QList<Row> m_rows;
    QHash<int, PreviousCounts> m_previous; // by row: only domains seen before have one
    TableId m_table = 0;
};
