#include "ResultsExport.h"

#include <QRegularExpression>

QString SpreadsheetSafe(const QString &cell)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9][0-9,]*(\\.[0-9]+)?$"));
    static const QRegularExpression formulaStart(QStringLiteral("^[=+\\-@\\t\\r]"));
    if (formulaStart.match(cell).hasMatch() && !number.match(cell).hasMatch())
        return u'\'' + cell;
    return cell;
}

QString ResultsAsTabSeparated(const QList<QStringList> &lines)
{
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]"));
    QString text;
    for (const QStringList &line : lines) {
        QStringList cells;
        for (const QString &cell : line)
            cells << SpreadsheetSafe(cell).replace(breaks, QStringLiteral(" "));
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

QByteArray CsvLine(const QStringList &line)
{
    QStringList fields;
    for (const QString &shown : line) {
        const QString cell = SpreadsheetSafe(shown);
        const bool quoted = cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\r')
            || cell.contains(u'\n');
        fields << (quoted ? u'"' + QString(cell).replace(u'"', QStringLiteral("\"\"")) + u'"'
                          : cell);
    }
    return fields.join(u',').toUtf8() + "\r\n";
}

QByteArray ResultsAsCsv(const QList<QStringList> &lines)
{
    QByteArray csv(kCsvStart);
    for (const QStringList &line : lines)
        csv += CsvLine(line);
    return csv;
}

namespace {

// A row of ours holds a domain of at most 4,096 characters and four counts cut from a page; a
// record far larger than that is not one of ours, and is not held in memory.
constexpr qint64 kMaxRecordBytes = 1 << 20;

} // namespace

CsvReadEnd ReadResultsCsv(QIODevice &in, const std::function<bool(const QStringList &)> &record)
{
    const QByteArray start(kCsvStart);
    const QByteArray mark = in.read(start.size());
    if (mark.isEmpty())
        return { CsvReadEnd::Complete, 0 };
    if (mark != start)
        return { start.startsWith(mark) ? CsvReadEnd::Unfinished : CsvReadEnd::Broken, 0 };

    enum { FieldStart, Plain, Quoted, QuoteInQuoted, LineEnd, Broken } state = FieldStart;
    qint64 offset = start.size(), whole = offset;
    QStringList cells;
    QByteArray cell;
    bool afterCr = false; // where a broken record ends
    char buffer[64 * 1024];
    qint64 got = 0;
    while ((got = in.read(buffer, sizeof buffer)) > 0) {
        for (qint64 i = 0; i < got; ++i, ++offset) {
            const char c = buffer[i];
            if (state == Broken) {
                if (afterCr && c == '\n')
                    return { CsvReadEnd::Broken, whole };
                afterCr = c == '\r';
                continue;
            }
            if (offset - whole > kMaxRecordBytes) {
                state = Broken;
            } else if (state == Quoted) {
                if (c == '"')
                    state = QuoteInQuoted;
                else
                    cell.append(c);
            } else if (state == QuoteInQuoted && c == '"') {
                cell.append(c); // a doubled quote
                state = Quoted;
            } else if (state == LineEnd) {
                if (c != '\n') {
                    state = Broken;
                } else {
                    cells << QString::fromUtf8(cell);
                    cell.clear();
                    state = FieldStart;
                    whole = offset + 1;
                    if (!record(cells))
                        return { CsvReadEnd::Stopped, whole };
                    cells.clear();
                }
            } else if (c == ',') {
                cells << QString::fromUtf8(cell);
                cell.clear();
                state = FieldStart;
            } else if (c == '\r') {
                state = LineEnd;
            } else if (state == FieldStart && c == '"') {
                state = Quoted;
            } else if (state == QuoteInQuoted || c == '"') {
                state = Broken; // text after a closing quote, or a quote inside a plain field
            } else {
                cell.append(c);
                state = Plain;
            }
            afterCr = c == '\r';
        }
    }
    if (got < 0)
        return { CsvReadEnd::Broken, whole };
    return { offset == whole ? CsvReadEnd::Complete : CsvReadEnd::Unfinished, whole };
}
