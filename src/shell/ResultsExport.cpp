#include "ResultsExport.h"

#include <QRegularExpression>

QString ResultsAsTabSeparated(const QList<QStringList> &lines)
{
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]"));
    QString text;
    for (const QStringList &line : lines) {
        QStringList cells;
        for (const QString &cell : line)
            cells << QString(cell).replace(breaks, QStringLiteral(" "));
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

QByteArray ResultsAsCsv(const QList<QStringList> &lines)
{
    QByteArray csv("\xEF\xBB\xBF");
    for (const QStringList &line : lines) {
        QStringList fields;
        for (const QString &cell : line) {
            const bool quoted = cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\r')
                || cell.contains(u'\n');
            fields << (quoted ? u'"' + QString(cell).replace(u'"', QStringLiteral("\"\"")) + u'"'
                              : cell);
        }
        csv += fields.join(u',').toUtf8() + "\r\n";
    }
    return csv;
}
