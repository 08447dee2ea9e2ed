#include "CountReading.h"

#include <QRegularExpression>

#include <cmath>

std::optional<qint64> CountValue(const QString &text)
{
    // An optional "about", digits with thousands separators and a decimal part, an optional
    // unit of ten thousand or a hundred million, an optional measure word.
    static const QRegularExpression count(QStringLiteral(
        "^\\s*(?:约|大约|≈|~)?\\s*([0-9][0-9,]*(?:\\.[0-9]+)?)\\s*(万|亿)?\\s*(?:条|个|页)?\\s*$"));
    const QRegularExpressionMatch match = count.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    QString digits = match.captured(1);
    digits.remove(u',');
    bool number = false;
    const double value = digits.toDouble(&number);
    const QString unit = match.captured(2);
    const double scale = unit == QStringLiteral("万") ? 1e4
        : unit == QStringLiteral("亿")                ? 1e8
                                                      : 1;
    if (!number || value * scale > 9e18)
        return std::nullopt;
    return qint64(std::llround(value * scale));
}
