#include "ResultsExport.h"

#include "WriteFailure.h"

#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>

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

CsvReadEnd ReadResultsCsv(QIODevice &in, const QByteArray &header,
                          const std::function<bool(const QStringList &)> &record)
{
    // The file must begin with the mark and the header, byte for byte: a file that cannot be
    // ours is given up at its first byte that differs, never read to its end.
    const QByteArray start = kCsvStart + header;
    const QByteArray begin = in.read(start.size());
    if (begin.isEmpty())
        return { CsvReadEnd::Complete, 0 };
    if (!start.startsWith(begin))
        return { CsvReadEnd::Broken, 0 };
    if (begin.size() < start.size()) // a write cut short in the header
        return { CsvReadEnd::Unfinished, 0 };

    enum { FieldStart, Plain, Quoted, QuoteInQuoted, LineEnd } state = FieldStart;
    qint64 offset = start.size(), whole = offset;
    QStringList cells;
    QByteArray cell;
    char buffer[64 * 1024];
    qint64 got = 0;
    while ((got = in.read(buffer, sizeof buffer)) > 0) {
        for (qint64 i = 0; i < got; ++i, ++offset) {
            const char c = buffer[i];
            if (offset - whole > kMaxRecordBytes)
                return { CsvReadEnd::Broken, whole }; // longer than any row can be
            if (state == Quoted) {
                if (c == '"')
                    state = QuoteInQuoted;
                else
                    cell.append(c);
            } else if (state == QuoteInQuoted && c == '"') {
                cell.append(c); // a doubled quote
                state = Quoted;
            } else if (state == LineEnd) {
                if (c != '\n')
                    return { CsvReadEnd::Broken, whole }; // a CR of its own
                cells << QString::fromUtf8(cell);
                cell.clear();
                state = FieldStart;
                whole = offset + 1;
                if (!record(cells))
                    return { CsvReadEnd::Stopped, whole };
                cells.clear();
            } else if (c == ',') {
                cells << QString::fromUtf8(cell);
                cell.clear();
                state = FieldStart;
            } else if (c == '\r') {
                state = LineEnd;
            } else if (state == FieldStart && c == '"') {
                state = Quoted;
            } else if (c == '\n' || state == QuoteInQuoted || c == '"') {
                // A line end of its own (the file re-saved with other line ends), text after a
                // closing quote, or a quote inside a plain field.
                return { CsvReadEnd::Broken, whole };
            } else {
                cell.append(c);
                state = Plain;
            }
        }
    }
    if (got < 0)
        return { CsvReadEnd::Broken, whole };
    return { offset == whole ? CsvReadEnd::Complete : CsvReadEnd::Unfinished, whole };
}

QString SaveResultsCsv(const QString &path, const QList<QStringList> &lines)
{
    // Written beside the target and renamed over it only when complete: a failure leaves no
    // half-written file and keeps an older one intact.
    QSaveFile file(path);
    const QByteArray csv = ResultsAsCsv(lines);
    errno = 0;
    // Unbuffered, so a short write shows in write(): Qt's buffered flush at commit reports a
    // file cut short by a full disk as success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(csv) != csv.size()
        || !file.commit()) {
        const int error = errno;
        return WriteFailureReason(WriteFailureAt(path, error, csv.size(), file.errorString()));
    }
    return {};
}
