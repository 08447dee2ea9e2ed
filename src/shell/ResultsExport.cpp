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

QByteArray ResultsAsCsv(const QList<QStringList> &lines)
{
    QByteArray csv("\xEF\xBB\xBF");
    for (const QStringList &line : lines) {
        QStringList fields;
        for (const QString &shown : line) {
            const QString cell = SpreadsheetSafe(shown);
            const bool quoted = cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\r')
                || cell.contains(u'\n');
            fields << (quoted ? u'"' + QString(cell).replace(u'"', QStringLiteral("\"\"")) + u'"'
                              : cell);
        }
        csv += fields.join(u',').toUtf8() + "\r\n";
    }
    return csv;
}
