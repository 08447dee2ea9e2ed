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
    QStringList keys; // the earlier run's domains, folded once
    keys.reserve(before.size());
    QHash<QString, qsizetype> earlier; // a domain's last row in the earlier run
    earlier.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        earlier.insert(keys.emplace_back(before.at(i).domain.toCaseFolded()), i);
    QList<ComparedDomain> compared;
    compared.reserve(after.size());
    QHash<QString, qsizetype> placed; // a domain twice in the later run: its last row counts
    placed.reserve(after.size());
    for (const HistoryRow &row : after) {
        QString key = row.domain.toCaseFolded();
        ComparedDomain domain { row.domain, ComparedDomain::Kind::Same, {}, row.counts, {}, {} };
        if (const auto was = earlier.constFind(key); was != earlier.cend()) {
            domain.before = before.at(*was).counts;
            if (Failed(domain.before) != Failed(row.counts))
                domain.kind = Failed(row.counts) ? ComparedDomain::Kind::NewlyFailed
                                                 : ComparedDomain::Kind::Recovered;
        } else {
            domain.kind = ComparedDomain::Kind::New;
        }
        domain.beforeValues = ValuesOf(domain.before);
        domain.afterValues = ValuesOf(domain.after);
        if (const auto at = placed.constFind(key); at != placed.cend())
            compared[*at] = std::move(domain);
        else
            placed.insert(std::move(key), compared.size()), compared << std::move(domain);
    }
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (earlier.value(keys.at(i)) != i || placed.contains(keys.at(i)))
            continue; // in the later run, or not the domain's last row
        const HistoryRow &row = before.at(i);
        compared << ComparedDomain { row.domain, ComparedDomain::Kind::Gone, row.counts,
                                     {},         ValuesOf(row.counts),       {} };
    }
    return compared;
}
