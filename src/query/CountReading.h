#pragma once

#include <QString>
#include <optional>

// The number a count cell stands for, as a reader of such pages reads it: "1,234" is 1234,
// "1.2万" 12,000, "3亿" 300,000,000, "约100" 100, "0" 0. Nothing for a cell that holds no
// whole number exactly (empty, "-", text, "1.5", "1,,,2", past 2^53): such cells sort last and
// stay text in a spreadsheet.
std::optional<qint64> CountValue(const QString &text);
