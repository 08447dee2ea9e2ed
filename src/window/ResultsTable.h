#pragma once

class QTableView;
class ResultsOrder;

// Shows the results in `table` as a list of rows in `order`: six columns of fixed widths, whole
// rows selected, nothing edited; a click on a column's header sorts by it, a second reverses.
void SetUpResultsTable(QTableView *table, ResultsOrder *order);
