#pragma once

#include "ComparisonModel.h"

#include <QWidget>

class QComboBox;
class QTableView;

// Two runs compared, in a window of its own: a ready choice of what to look at above the table
// of domains, sorted by any column with a click on its header.
class ComparisonWindow : public QWidget
{
    Q_OBJECT
public:
    // `title` says which runs, the earlier first.
    ComparisonWindow(const QString &title, QList<ComparedDomain> domains,
                     QWidget *parent = nullptr);

    QTableView *rowsTable() const { return m_table; }

private:
    ComparisonView *m_view;
    QTableView *m_table;
};
