#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

// A domain's last successful count of one engine before the row now shown.
struct PreviousCount
{
    QDateTime fetched;
    QString shown; // the count as it was shown then
    qint64 value = 0; // what it stood for

    bool operator==(const PreviousCount &) const = default;
};
using PreviousCounts = std::array<std::optional<PreviousCount>, 4>;

// The count cell's note on what came before, e.g.
// "上次（2026-12-07 14:32）：1,180 → 1,234（+54，+4.6%）"; only what came before when the count
// now stands for no number, and no percentage against a count of 0.
QString CountChangeText(const PreviousCount &previous, const QString &now);

// Which way the count moved since: 1 up, -1 down, 0 the same; nothing when either side stands
// for no number.
std::optional<int> CountDirection(const std::optional<PreviousCount> &previous, const QString &now);
