#include "CountReading.h"

#include <QRegularExpression>

namespace {

// Spreadsheets hold numbers as doubles: past 2^53 not every whole number is exact.
constexpr qint64 kLargestExact = qint64(1) << 53;

} // namespace

std::optional<qint64> CountValue(const QString &text)
{
    // Most counts are bare digits or nothing: read those without the pattern, which a comparison
    // of two long runs would otherwise ask eight times a row.
    if (text.isEmpty())
        return std::nullopt;
    if (text.size() <= 15
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return text.toLongLong();
    // An optional "about", digits (thousands separators only every three digits) with a decimal
    // part, an optional unit of ten thousand or a hundred million, an optional measure word.
    static const QRegularExpression count(QStringLiteral(
        "^\\s*(?:约|大约|≈|~)?\\s*([0-9]{1,3}(?:,[0-9]{3})+|[0-9]+)(?:\\.([0-9]+))?\\s*(万|亿)?"
        "\\s*(?:条|个|页)?\\s*$"));
    const QRegularExpressionMatch match = count.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString whole = match.captured(1).remove(u',');
    const QString fraction = match.captured(2);
    const QString unit = match.captured(3);
    const int unitDigits = unit == QStringLiteral("万") ? 4 : unit == QStringLiteral("亿") ? 8 : 0;
    // Read exactly, in whole numbers: a count is a number of pages, so one that comes out as a
    // fraction ("1.5", "1.23456万") or too large to hold exactly is left as its text.
    if (whole.size() > 16 || fraction.size() > unitDigits)
        return std::nullopt;
    const QString digits = (whole + fraction).leftJustified(int(whole.size()) + unitDigits, u'0');
    bool number = false;
    const qint64 value = digits.toLongLong(&number);
    if (!number || value > kLargestExact)
        return std::nullopt;
    return value;
}
