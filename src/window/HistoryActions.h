#pragma once

#include "HistoryStore.h"

#include <QObject>
#include <QString>

class HistoryRecorder;
class QAction;
class QTableView;
class QWidget;
class ResultsModel;
class RunController;
namespace platform {
class ListBox;
struct Platform;
class StatusBar;
} // namespace platform

// The window's side of the history: every row that lands is kept, each count's tool tip and
// mark tell what came before, and the results menu offers "查看历史…", "打开上次的结果" and
// "清除历史记录…". Without a history file (turned off, or sample counts) the entries are there
// but disabled.
class HistoryActions : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QTableView *table;
        ResultsModel *results;
        platform::ListBox *list;
        RunController *run;
        platform::StatusBar *status;
        QWidget *window;
    };
    HistoryActions(const Controls &controls, platform::Platform &platform, const QString &path,
                   const QString &service);
    ~HistoryActions() override;
    // Rows are kept in `path` from now on (empty: nowhere), as coming from `service`; what the
    // file before could not yet write is tried once more, and what is left said.
    void useFile(const QString &path, const QString &service);
    // The window closes: what could not be written is tried once more, and what is still left
    // is said.
    void finish();

private:
    void showHistory();
    void openLastResults();
    void listRuns();
    // Puts `run`'s rows into the table (and its list, when it did not reach its end); `when`
    // names it to the user.
    void openRun(const HistoryStore::StoredRun &run, const QString &when);
    void clearHistory();
    void runChanged();
    void refresh();
    void warn(const QString &text);

    Controls m_controls;
    platform::Platform &m_platform;
    HistoryRecorder *m_recorder = nullptr;
    bool m_running = false;
    QAction *m_show;
    QAction *m_open;
    QAction *m_list;
    QAction *m_clear;
};
