#pragma once

#include <QList>
#include <QObject>
#include <functional>
#include <optional>

class QAction;
class QTableView;
class QWidget;
namespace platform {
struct Platform;
}

// What the results table offers beyond showing rows: several rows selected at once, copy
// (Ctrl+C, the header line first) and select all (Ctrl+A), a context menu that also exports all
// rows as CSV, the whole text of a cut-off cell as its tool tip, and following new rows while the
// view is at the bottom (sorted, keeping the rows the user reads in place).
class ResultsTableActions : public QObject
{
    Q_OBJECT
public:
    ResultsTableActions(QTableView *table, platform::Platform &platform, QWidget *window);

    void copySelection();
    void exportAll();
    // The same rows as an Excel workbook, its sheet named `sheetName`.
    void exportWorkbook();
    // The name of the sheet, and of the files the save dialogs suggest.
    void setSheetName(const QString &name) { m_sheetName = name; }
    // A table that shows why a row failed in a column of its own gets no extra one in Excel.
    void setReasonsShown() { m_reasonsColumn = false; }

    // Offers "重新查询失败的域名" in the context menu: with how many rows failed, enabled only
    // while some row failed and a retry could start; otherwise its tool tip says why not.
    struct RetryHooks
    {
        std::function<int()> failedRows;
        std::function<QString()> whyNot; // empty when a retry could start now
        std::function<void()> retry;
    };
    void offerRetry(RetryHooks hooks);
    // Brings the retry entry up to date (done before the context menu shows).
    void refreshRetry();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The save dialog, on the file saved last or a `name` in the home folder.
    std::optional<QString> askWhere(const QString &title, const QString &filter,
                                    const QString &last, const QString &name);
    void sayNotSaved(const QString &path, const QString &reason);

    void followNewRows();
    void refreshEnabled();
    void showMenu(const QPoint &at);
    QStringList headerLine() const;
    QStringList rowLine(int row) const;

    QTableView *m_table;
    QObject *m_viewport = nullptr;
    platform::Platform &m_platform;
    QWidget *m_window;
    QString m_lastExport;
    RetryHooks m_retryHooks;
    QAction *m_retry = nullptr;
    QAction *m_copy = nullptr; // needs a picked row
    QList<QAction *> m_onRows; // need a row in the table
    bool m_atBottom = true;
    int m_topRow = -1; // the first row shown before rows arrive
    QString m_sheetName = QStringLiteral("收录查询结果");
    QString m_lastWorkbook;
    bool m_reasonsColumn = true;
};
