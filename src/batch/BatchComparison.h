#pragma once

#include <QString>

// --compare-last: the run just kept in `historyFile` (it kept rows) against the run over a list
// before it,
// written to `path` as CSV (as 比较 shows it, all rows). Returns what went wrong, in the user's
// words, or empty.
QString WriteLastComparison(const QString &historyFile, const QString &path);
