#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The results table leaves the program as text. `lines` holds the header line first, then one
// line per row, each a list of cell texts, as the table shows them.

// Tab-separated, one line per row, for pasting into a spreadsheet: tabs and line breaks inside
// a cell become blanks, so every line keeps its columns.
QString ResultsAsTabSeparated(const QList<QStringList> &lines);

// CSV as RFC 4180 writes it (CR LF line ends, fields with a comma, quote or line break quoted,
// quotes doubled), in UTF-8 with a byte-order mark so that spreadsheets on Chinese systems read
// it as UTF-8. Cells are written exactly as shown; empty ones stay empty.
QByteArray ResultsAsCsv(const QList<QStringList> &lines);
