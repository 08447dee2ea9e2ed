#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// A cell as it may safely reach a spreadsheet: one that would start a formula there ("=", "+",
// "-", "@", a tab or a CR first) gets a leading apostrophe, unless it is a plain number
// (digits with an optional sign, comma separators and a decimal point). Counts come from an
// outside page and domains from a file, so either may carry a formula.
QString SpreadsheetSafe(const QString &cell);

// The results table leaves the program as text. `lines` holds the header line first, then one
// line per row, each a list of cell texts, as the table shows them.

// Tab-separated, one line per row, for pasting into a spreadsheet: tabs and line breaks inside
// a cell become blanks, so every line keeps its columns; cells are made spreadsheet-safe.
QString ResultsAsTabSeparated(const QList<QStringList> &lines);

// CSV as RFC 4180 writes it (CR LF line ends, fields with a comma, quote or line break quoted,
// quotes doubled), in UTF-8 with a byte-order mark so that spreadsheets on Chinese systems read
// it as UTF-8. Cells are written as shown, made spreadsheet-safe; empty ones stay empty.
QByteArray ResultsAsCsv(const QList<QStringList> &lines);
// One line of that CSV, CR LF included; and what a new file starts with.
QByteArray CsvLine(const QStringList &cells);
inline constexpr char kCsvStart[] = "\xEF\xBB\xBF";

// How reading such a CSV back ended.
struct CsvReadEnd
{
    enum Kind {
        Complete, // every record whole
        Unfinished, // the last record has no line end (a write cut short)
        Broken, // a record with a line end that is not of such a CSV (or no byte-order mark)
        Stopped, // the caller refused a record
    } kind;
    qint64 wholeBytes; // from the start to the end of the last whole record
};

// Reads such a CSV back as a stream, one record at a time, calling `record` with each whole
// record's cells (false stops the reading). Never holds more than one record, and refuses a
// record larger than any this program writes.
CsvReadEnd ReadResultsCsv(QIODevice &in, const std::function<bool(const QStringList &)> &record);
