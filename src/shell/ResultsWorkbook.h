#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The results as an Excel workbook (.xlsx), written with libxlsxwriter: the header row bold and
// frozen, counts as numbers where they stand for one (the shown text kept where not, "约100"
// say), every text a string and never a formula, a seventh column 失败原因 with a failed row's
// reason, columns as wide as their texts. `lines` holds the header first, then the rows as
// shown; `failures` one reason per row (empty for a row with counts).
struct ResultsSheet
{
    QString name;
    QList<QStringList> lines;
    QStringList failures;
};

// Written beside `path` and renamed over it only when whole: a failure leaves nothing behind
// and an older file as it was. Returns empty, or why it failed in the user's words.
QString WriteResultsWorkbook(const QString &path, const ResultsSheet &sheet);
