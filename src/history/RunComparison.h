#pragma once

#include "HistoryStore.h"

#include <array>
#include <optional>

// One domain of two runs side by side.
struct ComparedDomain
{
    enum class Kind { Same, New, Gone, NewlyFailed, Recovered };

    QString domain;
    Kind kind = Kind::Same;
    PageCounts before; // as shown then; all empty when the domain was not in the run or failed
    PageCounts after;
    std::array<std::optional<qint64>, 4> beforeValues;
    std::array<std::optional<qint64>, 4> afterValues;

    // The change of engine k, when both sides stand for a number.
    std::optional<qint64> change(int k) const;
    // The change in percent of the earlier count, when that was not 0.
    std::optional<double> percent(int k) const;
};

// "新增", "消失", "新失败", "恢复", or empty.
QString KindText(ComparedDomain::Kind kind);

// The domains of `before` and `after` (runs' rows; domains compared without case), in the order
// of `after`, then those only in `before`. A domain twice in a run counts with its last row.
QList<ComparedDomain> CompareRuns(const QList<HistoryRow> &before, const QList<HistoryRow> &after);
