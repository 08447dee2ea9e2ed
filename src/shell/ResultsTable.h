#pragma once

class QTableView;
class ResultsModel;

// Shows `results` in `table` as a list of rows: six columns of fixed widths, whole rows
// selected, nothing edited.
void SetUpResultsTable(QTableView *table, ResultsModel *results);
