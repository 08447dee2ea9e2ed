#include "HistoryActions.h"

#include "ComparisonWindow.h"
#include "HistoryRecorder.h"
#include "HistoryWindow.h"
#include "ListBox.h"
#include "Platform.h"
#include "ResultsModel.h"
#include "ResultsTableActions.h"
#include "RunController.h"
#include "RunsDialog.h"
#include "StatusBar.h"
#include "SuffixMarkers.h"

#include <QAction>
#include <QDir>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

namespace {

const QString kBoxTitle = QStringLiteral("Varnel系列软件");

// Where a reopened run goes on: after the last entry it made current, unless that entry's page
// never came back (the program ended while it waited), which is then asked for again.
int NextEntry(const HistoryStore::StoredRun &run)
{
    if (run.reached < 0 || run.reached >= run.entries.size())
        return int(run.entries.size());
    const QString last = run.entries.at(run.reached);
    if (!HasAcceptedSuffix(last))
        return run.reached + 1;
    // Pages come back in any order within the waits that may nest.
    const qsizetype from = std::max<qsizetype>(0, run.rows.size() - QueryState::kMaxWaitingQueries);
    for (qsizetype at = from; at < run.rows.size(); ++at) {
        if (run.rows.at(at).domain == last)
            return run.reached + 1;
    }
    return run.reached;
}

} // namespace

HistoryActions::HistoryActions(const Controls &controls, platform::Platform &platform,
                               const QString &path, const QString &service)
    : QObject(controls.table)
    , m_controls(controls)
    , m_platform(platform)
{
    const auto add = [this](const char *name, const QString &text) {
        auto *action = new QAction(text, m_controls.table);
        action->setObjectName(QString::fromLatin1(name));
        m_controls.table->addAction(action);
        return action;
    };
    m_show = add("showHistory", QStringLiteral("查看历史…"));
    m_open = add("openLastResults", QStringLiteral("打开上次的结果"));
    m_list = add("listRuns", QStringLiteral("历史查询…"));
    m_clear = add("clearHistory", QStringLiteral("清除历史记录…"));
    connect(m_show, &QAction::triggered, this, &HistoryActions::showHistory);
    connect(m_open, &QAction::triggered, this, &HistoryActions::openLastResults);
    connect(m_list, &QAction::triggered, this, &HistoryActions::listRuns);
    connect(m_clear, &QAction::triggered, this, &HistoryActions::clearHistory);
    connect(controls.run, &RunController::runStateChanged, this, &HistoryActions::runChanged);
    connect(controls.table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &HistoryActions::refresh);
    // A table replaced drops its selection without a word.
    connect(controls.table->model(), &QAbstractItemModel::modelReset, this,
            &HistoryActions::refresh);
    useFile(path, service);
}

HistoryActions::~HistoryActions() = default;

void HistoryActions::useFile(const QString &path, const QString &service)
{
    if (m_recorder) {
        finish();
        delete m_recorder;
        m_recorder = nullptr;
    }
    if (!path.isEmpty()) {
        m_recorder = new HistoryRecorder(path, service, this);
        connect(m_recorder, &HistoryRecorder::stopped, this, [this](const QString &reason) {
            warn(QStringLiteral("无法使用历史记录文件：%1\r\n%2\r\n在程序重新启动之前，"
                                "查询结果不再记入历史。")
                     .arg(QDir::toNativeSeparators(m_recorder->path()), reason));
            refresh();
        });
        connect(m_recorder, &HistoryRecorder::waiting, this,
                [this](int rows, const QString &reason) {
                    warn(QStringLiteral("暂时无法写入历史记录文件：%1\r\n%2\r\n%3行查询结果先留在"
                                        "内存中，稍后自动写入。")
                             .arg(QDir::toNativeSeparators(m_recorder->path()), reason)
                             .arg(rows));
                });
        connect(m_recorder, &HistoryRecorder::caughtUp, this, [this](int rows) {
            m_platform.boxes.show(
                m_controls.window,
                QStringLiteral("历史记录文件又可以写入了：留在内存中的%1行查询结果已经写入。")
                    .arg(rows),
                platform::BoxIcon::Information, kBoxTitle);
        });
        connect(m_recorder, &HistoryRecorder::movedAside, this, [this](const QString &movedTo) {
            warn(QStringLiteral("历史记录文件已损坏，已改名保存为：%1\r\n新的历史记录从现在开始。")
                     .arg(QDir::toNativeSeparators(movedTo)));
        });
        connect(m_controls.results, &ResultsModel::rowLanded, m_recorder, [this](int row) {
            const QStringList cells = m_controls.results->rowTexts(row);
            HistoryRow kept { m_controls.results->number(row),
                              m_controls.results->domain(row),
                              {},
                              m_controls.results->failure(row),
                              QDateTime::currentDateTime() };
            for (int k = 0; k < 4; ++k)
                kept.counts[k] = cells.at(2 + k);
            m_recorder->record(kept);
        });
        connect(m_controls.run, &RunController::reached, m_recorder, &HistoryRecorder::reach);
        connect(m_recorder, &HistoryRecorder::previousFound, m_controls.results,
                [results = m_controls.results](int number, const QString &domain,
                                               const PreviousCounts &previous) {
                    results->setPrevious(results->rowNumbered(number), domain, previous);
                });
    }
    refresh();
}

void HistoryActions::finish()
{
    if (!m_recorder)
        return;
    if (const int lost = m_recorder->finish(); lost > 0)
        warn(QStringLiteral("有%1行查询结果未能写入历史记录文件：%2")
                 .arg(lost)
                 .arg(QDir::toNativeSeparators(m_recorder->path())));
}

void HistoryActions::runChanged()
{
    if (m_controls.run->running() == m_running)
        return;
    m_running = m_controls.run->running();
    if (m_recorder && m_running && m_controls.run->retrying())
        m_recorder->beginRetry();
    else if (m_recorder && m_running && m_controls.run->continuing())
        m_recorder->continueRun();
    else if (m_recorder && m_running)
        m_recorder->beginRun(QStringLiteral("run"), m_controls.run->runEntries());
    else if (m_recorder)
        m_recorder->endRun();
    refresh();
}

void HistoryActions::refresh()
{
    const bool on = m_recorder && m_recorder->working();
    const bool picked
        = m_controls.table->selectionModel() && m_controls.table->selectionModel()->hasSelection();
    m_show->setEnabled(on && picked);
    m_show->setToolTip(on && !picked ? QStringLiteral("请先在结果中选择一行") : QString());
    m_open->setEnabled(on && !m_running);
    m_list->setEnabled(on && !m_running);
    m_clear->setEnabled(on && !m_running);
}

void HistoryActions::warn(const QString &text)
{
    m_platform.boxes.show(m_controls.window, text, platform::BoxIcon::Warning, kBoxTitle);
}

void HistoryActions::showHistory()
{
    const QModelIndexList picked = m_controls.table->selectionModel()->selectedRows(1);
    if (!m_recorder || picked.isEmpty()) {
        m_controls.status->setPanelText(2, QStringLiteral("请先在结果中选择一行"));
        return;
    }
    const QString domain = picked.constFirst().data().toString();
    m_recorder->flush();
    HistoryStore store(m_recorder->path());
    store.openToRead();
    const QList<HistoryRow> rows = store.domainRows(domain);
    if (rows.isEmpty()) {
        m_controls.status->setPanelText(2, QStringLiteral("%1还没有历史记录").arg(domain));
        return;
    }
    auto *window = new HistoryWindow(domain, rows, m_controls.window);
    (new ResultsTableActions(window->rowsTable(), m_platform, window))->setReasonsShown();
    window->show();
}

void HistoryActions::openLastResults()
{
    if (!m_recorder || m_running)
        return;
    m_recorder->flush();
    HistoryStore store(m_recorder->path());
    store.openToRead();
    openRun(store.lastRun(), QStringLiteral("上次"));
}

void HistoryActions::listRuns()
{
    if (!m_recorder || m_running)
        return;
    RunsDialog::Hooks hooks;
    hooks.list = [this] {
        m_recorder->flush();
        HistoryStore store(m_recorder->path());
        store.openToRead();
        return store.runs();
    };
    hooks.open = [this](qint64 id) {
        HistoryStore store(m_recorder->path());
        store.openToRead();
        const HistoryStore::StoredRun run = store.run(id);
        openRun(run,
                run.rows.isEmpty()
                    ? QString()
                    : run.rows.constFirst().fetched.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    };
    hooks.remove = [this](const HistoryStore::RunSummary &run) {
        if (!m_platform.boxes.confirm(
                m_controls.window,
                QStringLiteral("确定要删除%1开始的这次查询吗？共%2行，删除后无法恢复。")
                    .arg(run.started.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                    .arg(run.rows),
                kBoxTitle))
            return false;
        m_recorder->deleteRun(run.id);
        m_recorder->flush();
        return true;
    };
    hooks.compare = [this](const HistoryStore::RunSummary &earlier,
                           const HistoryStore::RunSummary &later) {
        HistoryStore store(m_recorder->path());
        store.openToRead();
        const auto when = [](const HistoryStore::RunSummary &run) {
            return run.started.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        };
        auto *window = new ComparisonWindow(
            QStringLiteral("比较：%1 → %2").arg(when(earlier), when(later)),
            CompareRuns(store.countsOf(earlier.id), store.countsOf(later.id)), m_controls.window);
        auto *actions = new ResultsTableActions(window->rowsTable(), m_platform, window);
        actions->setSheetName(QStringLiteral("收录变化"));
        window->show();
    };
    RunsDialog dialog(std::move(hooks), m_controls.window);
    m_platform.dialogs.exec(dialog);
}

void HistoryActions::openRun(const HistoryStore::StoredRun &last, const QString &when)
{
    const QList<HistoryRow> &rows = last.rows;
    if (rows.isEmpty()) {
        m_controls.status->setPanelText(2, QStringLiteral("历史中还没有结果"));
        return;
    }
    const int next = NextEntry(last);
    const bool unfinished = next < last.entries.size();
    const int shown = m_controls.results->rowCount();
    QStringList question;
    if (shown > 0)
        question << QStringLiteral("表格中的%1行结果将换成%2的结果（它们已记入历史）。")
                        .arg(shown)
                        .arg(when);
    const QStringList list = m_controls.list->entries();
    if (unfinished && !list.isEmpty() && list != last.entries)
        question << QStringLiteral("域名列表将换成%1查询的列表（%2个域名）。")
                        .arg(when)
                        .arg(last.entries.size());
    if (!question.isEmpty()
        && !m_platform.boxes.confirm(
            m_controls.window, question.join(QString()) + QStringLiteral("继续吗？"), kBoxTitle))
        return;
    QList<ResultsModel::KeptRow> kept;
    kept.reserve(rows.size());
    for (qsizetype at = 0; at < rows.size(); ++at) {
        const HistoryRow &row = rows.at(at);
        kept.append({ row.number, row.domain, row.counts, row.failure, last.previous.at(at) });
    }
    m_controls.results->replaceRows(kept);
    QString said = QStringLiteral("已打开%1的结果：%2行（%3）")
                       .arg(when)
                       .arg(rows.size())
                       .arg(rows.constFirst().fetched.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    // The reopened run's table: adds and retries from now on are its rows.
    m_recorder->adoptRun(last.id);
    if (unfinished) {
        m_controls.run->resumeAt(last.entries, next);
        said += QStringLiteral("，还有%1个域名未查询，可继续查询").arg(last.entries.size() - next);
    }
    m_controls.status->setPanelText(2, said);
}

void HistoryActions::clearHistory()
{
    if (!m_recorder || m_running
        || !m_platform.boxes.confirm(m_controls.window,
                                     QStringLiteral("确定要清除全部历史记录吗？清除后无法恢复。"),
                                     kBoxTitle))
        return;
    m_recorder->clear();
    m_recorder->flush();
    m_controls.status->setPanelText(2, QStringLiteral("历史记录已清除"));
}
