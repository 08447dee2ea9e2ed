#include "RunComparison.h"

#include "CountReading.h"

#include <QHash>

namespace {

bool Failed(const PageCounts &counts)
{
    return std::all_of(counts.begin(), counts.end(),
                       [](const QString &count) { return count.isEmpty(); });
}

std::array<std::optional<qint64>, 4> ValuesOf(const PageCounts &counts)
{
    std::array<std::optional<qint64>, 4> values;
    for (int k = 0; k < 4; ++k)
        values[k] = CountValue(counts[k]);
    return values;
}

} // namespace

std::optional<qint64> ComparedDomain::change(int k) const
{
    if (!beforeValues[k] || !afterValues[k])
        return std::nullopt;
    return *afterValues[k] - *beforeValues[k];
}

std::optional<double> ComparedDomain::percent(int k) const
{
    const std::optional<qint64> moved = change(k);
    if (!moved || *beforeValues[k] == 0)
        return std::nullopt;
    return double(*moved) * 100 / double(*beforeValues[k]);
}

QString KindText(ComparedDomain::Kind kind)
{
    switch (kind) {
    case ComparedDomain::Kind::New:
        return QStringLiteral("新增");
    case ComparedDomain::Kind::Gone:
        return QStringLiteral("消失");
    case ComparedDomain::Kind::NewlyFailed:
        return QStringLiteral("新失败");
    case ComparedDomain::Kind::Recovered:
        return QStringLiteral("恢复");
    case ComparedDomain::Kind::Same:
        break;
    }
    return {};
}

QList<ComparedDomain> CompareRuns(const QList<HistoryRow> &before, const QList<HistoryRow> &after)
{
    QHash<QString, PageCounts> earlier;
    for (const HistoryRow &row : before)
        earlier.insert(row.domain.toCaseFolded(), row.counts);
    QList<ComparedDomain> compared;
    QHash<QString, qsizetype> placed; // a domain twice in the later run: its last row counts
    for (const HistoryRow &row : after) {
        const QString key = row.domain.toCaseFolded();
        ComparedDomain domain { row.domain, ComparedDomain::Kind::Same, {}, row.counts, {}, {} };
        if (const auto was = earlier.constFind(key); was != earlier.cend()) {
            domain.before = *was;
            if (Failed(*was) != Failed(row.counts))
                domain.kind = Failed(row.counts) ? ComparedDomain::Kind::NewlyFailed
                                                 : ComparedDomain::Kind::Recovered;
        } else {
            domain.kind = ComparedDomain::Kind::New;
        }
        domain.beforeValues = ValuesOf(domain.before);
        domain.afterValues = ValuesOf(domain.after);
        if (const auto at = placed.constFind(key); at != placed.cend())
            compared[*at] = domain;
        else
            placed.insert(key, compared.size()), compared << domain;
    }
    for (const HistoryRow &row : before) {
        const QString key = row.domain.toCaseFolded();
        if (placed.contains(key))
            continue;
        placed.insert(key, compared.size());
        compared << ComparedDomain { row.domain, ComparedDomain::Kind::Gone,   earlier.value(key),
                                     {},         ValuesOf(earlier.value(key)), {} };
    }
    return compared;
}
