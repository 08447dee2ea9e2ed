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

std::optional<QList<QStringList>> ParseResultsCsv(const QByteArray &csv)
{
    if (!csv.startsWith(kCsvStart))
        return std::nullopt;
    const QString text = QString::fromUtf8(csv.mid(qsizetype(sizeof kCsvStart) - 1));
    QList<QStringList> lines;
    QStringList cells;
    QString cell;
    bool quoted = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != u'"')
                cell += c;
            else if (i + 1 < text.size() && text.at(i + 1) == u'"')
                cell += text.at(++i);
            else
                quoted = false;
        } else if (c == u'"') {
            if (!cell.isEmpty() || wasQuoted)
                return std::nullopt; // a quote inside an unquoted field
            quoted = wasQuoted = true;
        } else if (c == u',') {
            cells << cell;
            cell.clear();
            wasQuoted = false;
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            cells << cell;
            lines << cells;
            cells.clear();
            cell.clear();
            wasQuoted = false;
            ++i;
        } else if (wasQuoted) {
            return std::nullopt; // text after a closing quote
        } else {
            cell += c;
        }
    }
    if (quoted || !cell.isEmpty() || !cells.isEmpty())
        return std::nullopt; // unterminated field or last line without CR LF
    return lines;
}
