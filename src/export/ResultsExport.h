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
// That CSV saved at `path`, whole or not at all; empty, or why it could not be, in the user's
// words.
QString SaveResultsCsv(const QString &path, const QList<QStringList> &lines);
// One line of that CSV, CR LF included; and what a new file starts with.
QByteArray CsvLine(const QStringList &cells);
inline constexpr char kCsvStart[] = "\xEF\xBB\xBF";

// How reading such a CSV back ended.
struct CsvReadEnd
{
    enum Kind {
        Complete, // every record whole
        Unfinished, // a tail after the last whole record, shorter than a record, with no line
                    // break of its own: a write cut short
        Broken, // not such a CSV: no mark and header first, a line break of its own, a record
                // longer than any row, a stray quote
        Stopped, // the caller refused a record
    } kind;
    qint64 wholeBytes; // from the start to the end of the last whole record
};

// Reads such a CSV back as a stream, one record at a time, calling `record` with each whole
// record's cells after the `header` line (false stops the reading). Never holds more than one
// record, and stops at the first byte that shows the file is not such a CSV.
CsvReadEnd ReadResultsCsv(QIODevice &in, const QByteArray &header,
                          const std::function<bool(const QStringList &)> &record);
