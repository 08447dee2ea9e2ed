#pragma once

#include "HistoryStore.h"

#include <QWidget>

class QTableView;

// The chart's label of 10^power: "10", "1万", "1亿" ...
QString CountLabel(int power);

// One domain's counts over time: a line per engine on one logarithmic scale labelled in 万 and
// 亿, and under it every kept row, the newest first.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    // `rows` the newest first, as the store gives them.
    HistoryWindow(const QString &domain, const QList<HistoryRow> &rows, QWidget *parent = nullptr);

    QTableView *rowsTable() const { return m_rows; }

private:
    QWidget *chartOf(const QString &domain, const QList<HistoryRow> &rows);

    QTableView *m_rows;
};
