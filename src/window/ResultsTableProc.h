#pragma once

#include <QObject>

class QHeaderView;
class QTableView;

// Sits in front of the results table header's own event handling: it refuses to start dragging
// a column divider and swallows double clicks on a divider (which would auto-size the column).
// Every other event goes on to the header unchanged.
class ResultsTableProc : public QObject
{
    Q_OBJECT
public:
    explicit ResultsTableProc(QHeaderView *header);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool onDivider(int x) const;

    QHeaderView *m_header;
};

// Puts the filter in place on the table's header; it stays there for the table's lifetime.
void InstallResultsTableProc(QTableView *table);
