#pragma once

#include <QStringList>

class QTreeWidget;

// The six columns of the results table with their keys, header texts and widths.
void SetUpResultsTable(QTreeWidget *table);
// The header texts of the six columns, as the table shows them.
QStringList ResultsHeader();
