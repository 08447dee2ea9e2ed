#include "PageCuts.h"

namespace {

const QString kLabelEnd = QStringLiteral(">收录数量</td>");
constexpr QLatin1StringView kRowEnd("</tr>");
constexpr QLatin1StringView kCellStart("<td");
constexpr QLatin1StringView kCellEnd("</td>");

// The part of `text` between the k-th and (k+1)-th occurrence of `separator`, as a split
// would give it; empty when there are fewer than k separators.
QStringView SplitPart(QStringView text, QLatin1StringView separator, int k)
{
    qsizetype from = 0;
    for (int i = 0; i < k; ++i) {
        const qsizetype at = text.indexOf(separator, from);
        if (at < 0)
            return {};
        from = at + separator.size();
    }
    const qsizetype end = text.indexOf(separator, from);
    return end < 0 ? text.mid(from) : text.mid(from, end - from);
}

} // namespace

QString CutResultsRow(QStringView page)
{
    const qsizetype label = page.indexOf(kLabelEnd);
    if (label < 0)
        return {};
    QStringView piece = page.mid(label + kLabelEnd.size());
    const qsizetype nextLabel = piece.indexOf(kLabelEnd);
    if (nextLabel >= 0)
        piece = piece.left(nextLabel);
    const qsizetype rowEnd = piece.indexOf(kRowEnd);
    if (rowEnd < 0)
        return {};
    return piece.left(rowEnd + 1).toString();
}

QString CutCount(QStringView row, int k)
{
    const QStringView cell = SplitPart(row, kCellStart, k);
    const qsizetype cellEnd = cell.indexOf(kCellEnd);
    if (cellEnd < 0)
        return {};
    const QStringView cut = cell.left(cellEnd + 1);
    const QStringView inner = SplitPart(cut, QLatin1StringView(">"), 2);
    const qsizetype tag = inner.indexOf(QLatin1Char('<'));
    if (tag < 0)
        return {};
    return inner.left(tag).toString();
}

PageCounts CutCounts(QStringView row)
{
    PageCounts counts;
    for (int k = 1; k <= 4; ++k) {
        counts[k - 1] = CutCount(row, k);
        if (counts[k - 1].isEmpty())
            counts[k - 1] = QStringLiteral("0");
    }
    return counts;
}

std::optional<PageCounts> CountsOfPage(QStringView page)
{
    const QString row = page.isEmpty() ? QString() : CutResultsRow(page);
    if (row.isEmpty())
        return std::nullopt;
    return CutCounts(row);
}
