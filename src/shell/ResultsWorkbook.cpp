#include "ResultsWorkbook.h"

#include "CountReading.h"
#include "WriteFailure.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>

namespace {

// What a column's widest text needs, in the units of a spreadsheet column (a Chinese character
// takes two).
double ColumnWidth(const QList<QStringList> &lines, int column)
{
    int widest = 6;
    for (const QStringList &line : lines) {
        int width = 0;
        for (const QChar c : line.value(column))
            width += c.unicode() >= 0x1100 ? 2 : 1;
        widest = std::max(widest, width);
    }
    return std::min(widest, 60) + 2;
}

// Excel holds at most 32,767 characters in a cell.
QByteArray CellText(const QString &text)
{
    return text.left(32'767).toUtf8();
}

} // namespace

QString WriteResultsWorkbook(const QString &path, const ResultsSheet &sheet,
                             const QString &reserved)
{
    // A name of our own beside the target, for the whole file before it takes the target's.
    QString partial = reserved;
    if (partial.isEmpty()) {
        QTemporaryFile reserve(QFileInfo(path).absolutePath() + QStringLiteral("/.xlsx-XXXXXX"));
        errno = 0;
        if (!reserve.open())
            return WriteFailureReason(WriteFailureAt(path, errno, 0, reserve.errorString()));
        reserve.setAutoRemove(false);
        reserve.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                               | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        partial = reserve.fileName();
    }
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    const QByteArray partialName = QFile::encodeName(partial);
    lxw_workbook *workbook = workbook_new_opt(partialName.constData(), &options);
    if (!workbook) {
        QFile::remove(partial);
        return WriteFailureReason(WriteFailureAt(path, errno, 0, QStringLiteral("libxlsxwriter")));
    }
    lxw_worksheet *worksheet
        = workbook_add_worksheet(workbook, CellText(sheet.name.left(31)).constData());
    lxw_format *bold = workbook_add_format(workbook);
    format_set_bold(bold);

    QStringList header = sheet.lines.value(0);
    const int shownColumns = int(header.size());
    QList<QStringList> reasons;
    if (sheet.failures) {
        header << QStringLiteral("失败原因");
        reasons << QStringList { header.last() };
        for (const QString &failure : *sheet.failures)
            reasons << QStringList { failure };
    }
    for (int column = 0; column < header.size(); ++column) {
        worksheet_write_string(worksheet, 0, lxw_col_t(column),
                               CellText(header.at(column)).constData(), bold);
        const double width
            = column < shownColumns ? ColumnWidth(sheet.lines, column) : ColumnWidth(reasons, 0);
        worksheet_set_column(worksheet, lxw_col_t(column), lxw_col_t(column), width, nullptr);
    }
    worksheet_freeze_panes(worksheet, 1, 0);
    for (int row = 1; row < sheet.lines.size(); ++row) {
        const QStringList &cells = sheet.lines.at(row);
        for (int column = 0; column < cells.size(); ++column) {
            const std::optional<qint64> value
                = sheet.numbers.value(column) ? CountValue(cells.at(column)) : std::nullopt;
            if (value)
                worksheet_write_number(worksheet, lxw_row_t(row), lxw_col_t(column), double(*value),
                                       nullptr);
            else if (!cells.at(column).isEmpty())
                worksheet_write_string(worksheet, lxw_row_t(row), lxw_col_t(column),
                                       CellText(cells.at(column)).constData(), nullptr);
        }
        const QString failure = sheet.failures ? sheet.failures->value(row - 1) : QString();
        if (!failure.isEmpty())
            worksheet_write_string(worksheet, lxw_row_t(row), lxw_col_t(cells.size()),
                                   CellText(failure).constData(), nullptr);
    }
    errno = 0;
    const lxw_error closed = workbook_close(workbook);
    const int error = errno;
    if (closed != LXW_NO_ERROR
        || std::rename(partialName.constData(), QFile::encodeName(path).constData()) != 0) {
        const int why = closed != LXW_NO_ERROR ? error : errno;
        QFile::remove(partial);
        return WriteFailureReason(
            WriteFailureAt(path, why, 0, QString::fromUtf8(lxw_strerror(closed))));
    }
    return {};
}
