#include "CountChange.h"

#include "CountReading.h"

#include <QLocale>

QString CountChangeText(const PreviousCount &previous, const QString &now)
{
    const QString text
        = QStringLiteral("上次（%1）：%2")
              .arg(previous.fetched.toString(QStringLiteral("yyyy-MM-dd HH:mm")), previous.shown);
    const std::optional<qint64> value = CountValue(now);
    if (!value)
        return text;
    const qint64 change = *value - previous.value;
    const QString sign = change > 0 ? QStringLiteral("+") : QString();
    // Grouped as the counts themselves are, whatever the system's locale.
    QString moved = sign + QLocale(QLocale::English).toString(change);
    if (previous.value != 0)
        moved += QStringLiteral("，%1%2%").arg(sign).arg(
            double(change) * 100 / double(previous.value), 0, 'f', 1);
    return text + QStringLiteral(" → ") + now + QStringLiteral("（") + moved + QStringLiteral("）");
}

std::optional<int> CountDirection(const std::optional<PreviousCount> &previous, const QString &now)
{
    const std::optional<qint64> value = CountValue(now);
    if (!previous || !value)
        return std::nullopt;
    return *value > previous->value ? 1 : *value < previous->value ? -1 : 0;
}
