#include "ResultsWorkbook.h"

#include "CountReading.h"
#include "WriteFailure.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

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

// A cell's text as the sheet's XML may hold it: characters XML 1.0 does not allow (control
// characters but tab and line breaks, U+FFFE, U+FFFF, a NUL that would end the cell, a lone
// surrogate) become U+FFFD, and text that spreadsheets read as an escape ("_x0041_") is escaped
// itself. Excel holds at most 32,767 characters in a cell.
QByteArray CellText(const QString &text)
{
    static const QRegularExpression escapeLike(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
    QString safe = text.left(32'767);
    for (qsizetype i = 0; i < safe.size(); ++i) {
        const char16_t c = safe.at(i).unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < safe.size()
            && QChar::isLowSurrogate(safe.at(i + 1).unicode());
        if (pair)
            ++i;
        else if ((c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF
                 || QChar::isSurrogate(c))
            safe[i] = QChar::ReplacementCharacter;
    }
    safe = safe.replace(escapeLike, QStringLiteral("_x005F_\\1")).left(32'767);
    if (!safe.isEmpty() && safe.back().isHighSurrogate())
        safe.chop(1); // cut between the halves of a pair
    return safe.toUtf8();
}

// libxlsxwriter tells its failures on stderr, in English; the program says them its own way.
class QuietStderr
{
public:
    QuietStderr()
    {
        std::fflush(stderr);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nowhere >= 0 && m_saved >= 0)
            ::dup2(nowhere, STDERR_FILENO);
        if (nowhere >= 0)
            ::close(nowhere);
    }
    ~QuietStderr()
    {
        std::fflush(stderr);
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }
    QuietStderr(const QuietStderr &) = delete;
    QuietStderr &operator=(const QuietStderr &) = delete;

private:
    int m_saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
};

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
    QuietStderr quiet;
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
