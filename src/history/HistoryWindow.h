#pragma once

#include "HistoryStore.h"

#include <QWidget>

class QTableView;

// One domain's counts over time: a line per engine, and under it every kept row, the newest
// first.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    // `rows` the newest first, as the store gives them.
    HistoryWindow(const QString &domain, const QList<HistoryRow> &rows, QWidget *parent = nullptr);

    QTableView *rowsTable() const { return m_rows; }

private:
    QWidget *chartOf(const QList<HistoryRow> &rows);

    QTableView *m_rows;
};
