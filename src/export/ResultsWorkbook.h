#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A table as an Excel workbook (.xlsx), written with libxlsxwriter: the header row bold and
// frozen, every count that stands for a number written as that number ("12,300" 12300, "1.2万"
// 12000, "约100" 100) and any other text as a string, never a formula; columns as wide as their
// texts. `lines` holds the header first, then the rows as shown; `numbers` says which columns
// hold counts. With `failures` (one reason per row, empty for a row with counts) the sheet gets
// a last column 失败原因; a table that shows its reasons itself has none.
struct ResultsSheet
{
    QString name;
    QList<QStringList> lines;
    QList<bool> numbers;
    std::optional<QStringList> failures;
};

// Written beside `path` (into `partial` when the caller has made that place already) and renamed
// over it only when whole: a failure leaves nothing behind and an older file as it was. Returns
// empty, or why it failed in the user's words.
QString WriteResultsWorkbook(const QString &path, const ResultsSheet &sheet,
                             const QString &partial = {});
