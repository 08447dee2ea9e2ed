#pragma once

class QTreeWidget;

// The six columns of the results table with their keys, header texts and widths.
void SetUpResultsTable(QTreeWidget *table);
