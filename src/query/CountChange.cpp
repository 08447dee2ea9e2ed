#include "CountChange.h"

#include "CountReading.h"

#include <QLocale>

QString CountChangeText(const PreviousCount &previous, const QString &now)
{
    QString text
        = QStringLiteral("上次（%1）：%2").arg(previous.date.toString(Qt::ISODate), previous.shown);
    const std::optional<qint64> value = CountValue(now);
    if (!value)
        return text;
    const qint64 change = *value - previous.value;
    // Grouped as the counts themselves are, whatever the system's locale.
    const QString amount = QLocale(QLocale::English).toString(change);
    return text + QStringLiteral("，") + (change > 0 ? QStringLiteral("+") : QString()) + amount;
}

std::optional<int> CountDirection(const std::optional<PreviousCount> &previous, const QString &now)
{
    const std::optional<qint64> value = CountValue(now);
    if (!previous || !value)
        return std::nullopt;
    return *value > previous->value ? 1 : *value < previous->value ? -1 : 0;
}
