#pragma once

#include "HistoryStore.h"

#include <QDialog>
#include <functional>

class QStandardItemModel;
class QTableView;

// 历史查询…: every kept run, the newest first (start to the minute, kind, rows, rows with
// counts, failed rows, service); 打开 puts the picked run into the results table, 删除… forgets
// it after asking, 比较 puts two runs side by side: the two picked, or else the last two.
class RunsDialog : public QDialog
{
    Q_OBJECT
public:
    struct Hooks
    {
        std::function<QList<HistoryStore::RunSummary>()> list;
        std::function<void(qint64 id)> open;
        // Asks first; true when the run is gone.
        std::function<bool(const HistoryStore::RunSummary &run)> remove;
        // Shows two runs side by side, the earlier first.
        std::function<void(const HistoryStore::RunSummary &earlier,
                           const HistoryStore::RunSummary &later)>
            compare;
    };
    explicit RunsDialog(Hooks hooks, QWidget *parent = nullptr);

    QTableView *runsTable() const { return m_table; }

private:
    void reload();
    // The run on the current row, if any.
    const HistoryStore::RunSummary *picked() const;

    Hooks m_hooks;
    QList<HistoryStore::RunSummary> m_runs;
    QStandardItemModel *m_model;
    QTableView *m_table;
};
