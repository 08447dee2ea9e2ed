#include "RunController.h"

#include "DomainQuery.h"
#include "ListBox.h"
#include "MessageBoxes.h"
#include "ResultsModel.h"
#include "StatusBar.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace {

const QString kStartCaption = QStringLiteral("批量查询");
const QString kStopCaption = QStringLiteral("停止查询");

} // namespace

RunController::RunController(const Controls &controls, QueryState &state, DomainQuery &query,
                             platform::MessageBoxes &boxes, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_state(state)
    , m_boxes(boxes)
    , m_query(query)
{
    // A timer never fires again while a slot of its own timeout is still running, and a tick's
    // query can wait for its page far longer than the pace. Handling the tick after the timer
    // event has returned lets the next tick fall due, and run, inside that wait.
    connect(m_controls.timer, &QTimer::timeout, this, &RunController::onTimerTick,
            Qt::QueuedConnection);
}

bool RunController::running() const
{
    return m_controls.startStop->text() == kStopCaption;
}

void RunController::onStartStopClick()
{
    // A retry walks the table, not the list: an emptied list does not keep it from stopping.
    if (m_retrying && running()) {
        stop();
        return;
    }
    if (m_controls.list->count() == 0) {
        const QString text = QStringLiteral("请先导入要查询的域名");
        m_controls.status->setPanelText(2, text);
        m_boxes.show(m_controls.window, text, platform::BoxIcon::Information,
                     QStringLiteral("Varnel软件"));
        return;
    }
    if (m_controls.startStop->text() == kStartCaption)
        start();
    else if (m_controls.startStop->text() == kStopCaption)
        stop();
}

void RunController::start()
{
    m_controls.results->clear();
    m_continuing = false;
    m_place = Place { m_controls.list->entries(), -1, m_controls.results->tableId() };
    startAt(0);
}

void RunController::startAt(int entry)
{
    const int run = ++m_runNumber;
    QPointer<RunController> alive(this);
    m_controls.startStop->setText(kStopCaption);
    m_controls.list->setEnabled(false);
    m_query.dropHeld();
    // A skip made outside a run (during an add's query) may have moved the cursor.
    m_state.queryCursor = entry;
    m_state.queryMode = 1;
    emit runStateChanged();
    emit progressChanged(entry + 1, m_controls.list->count());
    reach(entry);
    m_controls.list->setListIndex(entry);
    // The first query may have waited long enough for the run to be stopped (or stopped and
    // started again); only the run that is still current goes on to its timer.
    if (!alive || run != m_runNumber || !running())
        return;
    m_controls.timer->setInterval(m_controls.pace->value() * 1000);
    m_controls.timer->start();
    m_controls.pace->setEnabled(false);
}

void RunController::reach(int entry)
{
    if (!m_place || m_retrying)
        return;
    m_place->reached = entry;
    emit reached(entry);
}

QString RunController::whyNoContinue() const
{
    if (!m_place || m_place->reached + 1 >= m_place->entries.size())
        return QStringLiteral("没有未完成的查询");
    if (!m_controls.startStop->isEnabled())
        return QStringLiteral("检测更新未通过，暂时不能查询");
    if (running())
        return QStringLiteral("查询进行中");
    if (m_controls.results->tableId() != m_place->table)
        return QStringLiteral("表格中已是别的结果");
    // Entries added at the end (the add dialog during the run) are walked too.
    if (m_controls.list->entries().mid(0, m_place->entries.size()) != m_place->entries)
        return QStringLiteral("域名列表已改动，只能重新批量查询");
    return {};
}

void RunController::continueRun()
{
    if (!whyNoContinue().isEmpty())
        return;
    m_continuing = true;
    startAt(m_place->reached + 1);
}

void RunController::resumeAt(const QStringList &entries, int next)
{
    m_place = Place { entries, next - 1, m_controls.results->tableId() };
    m_controls.list->clear();
    m_controls.list->addItems(entries);
    m_controls.list->setListIndexQuietly(next);
    m_controls.list->scrollToItem(m_controls.list->currentItem());
}

void RunController::stop()
{
    // Where the run stands, with the entries skipped meanwhile.
    if (!m_retrying && m_state.queryCursor > (m_place ? m_place->reached : -1))
        reach(m_state.queryCursor);
    m_stoppedRun = m_runNumber;
    ++m_runNumber; // a tick still waiting for its page must not end a later run
    m_controls.list->setEnabled(true);
    m_state.queryMode = 0;
    m_state.queryCursor = 0;
    m_controls.startStop->setText(kStartCaption);
    m_controls.timer->stop();
    m_controls.pace->setEnabled(true);
    m_retrying = false;
    m_retryRows.clear();
    emit runStateChanged();
}

QList<int> RunController::failedRows() const
{
    return m_controls.results->failedRows();
}

QString RunController::whyNoRetry() const
{
    // Only where a run could start: the update check passed, and no run goes on.
    if (!m_controls.startStop->isEnabled())
        return QStringLiteral("检测更新未通过，暂时不能查询");
    if (running())
        return QStringLiteral("查询进行中，结束后才能重新查询");
    return {};
}

bool RunController::canRetry() const
{
    return whyNoRetry().isEmpty() && !failedRows().isEmpty();
}

void RunController::retryFailed()
{
    if (!canRetry())
        return;
    QList<ResultsModel::RowKey> rows;
    for (int row : failedRows())
        rows << m_controls.results->key(row);
    const int run = ++m_runNumber;
    QPointer<RunController> alive(this);
    m_controls.startStop->setText(kStopCaption);
    m_controls.list->setEnabled(false);
    m_controls.pace->setEnabled(false);
    m_state.queryMode = 1; // running, as the controls say
    m_retrying = true;
    m_retryRows = rows;
    m_retryTotal = int(rows.size());
    m_controls.status->setPanelText(2,
                                    QStringLiteral("开始重新查询%1个失败的域名…").arg(rows.size()));
    emit runStateChanged();
    retryNext();
    if (!alive || run != m_runNumber || !running())
        return;
    m_controls.timer->setInterval(m_controls.pace->value() * 1000);
    m_controls.timer->start();
}

void RunController::retryNext()
{
    const ResultsModel::RowKey row = m_retryRows.takeFirst();
    emit progressChanged(m_retryTotal - int(m_retryRows.size()), m_retryTotal);
    m_query.requery(row, int(m_retryRows.size()), m_retryTotal);
}

void RunController::onTimerTick()
{
    // A tick queued just before the run stopped or ended belongs to no run.
    if (!m_controls.timer->isActive())
        return;
    const int run = m_runNumber;
    QPointer<RunController> alive(this);
    if (m_retrying) {
        if (m_retryRows.isEmpty()) {
            endRun();
        } else if (m_state.waitingQueries < QueryState::kMaxWaitingQueries) {
            retryNext();
            if (alive && run == m_runNumber && (m_endedRun == run || m_retryRows.isEmpty()))
                endRun();
        }
        return;
    }
    platform::ListBox *list = m_controls.list;
    if (list->count() <= 1 || m_state.queryCursor + 1 >= list->count()) {
        endRun();
        return;
    }
    // As many steps as may wait inside each other already do: this one is not started, and a
    // later tick goes on once a wait has returned.
    if (m_state.waitingQueries >= QueryState::kMaxWaitingQueries)
        return;
    m_state.queryCursor += 1;
    emit progressChanged(m_state.queryCursor + 1, list->count());
    reach(m_state.queryCursor);
    list->setListIndex(m_state.queryCursor);
    if (!alive)
        return;
    if (run != m_runNumber) {
        // Stopped while this step waited, and nothing started since: the step's own end check
        // still looks at that moment, and a step that made the last entry current ends the run.
        // After a new start, it has nothing left to end.
        if (m_stoppedRun == run && m_runNumber == run + 1 && list->listIndex() + 1 == list->count())
            endRun();
        return;
    }
    // The end is judged by the run's own cursor: an add or an import handled during the wait
    // may have made the last entry current without the run reaching it. A run that a later
    // step ended meanwhile ends once more, so the status line closes on the end text.
    if (m_endedRun == run || m_state.queryCursor + 1 >= list->count())
        endRun();
}

void RunController::endRun()
{
    const bool first = m_endedRun != m_runNumber; // ending an ended run again says nothing new
    m_endedRun = m_runNumber;
    if (first)
        m_endedRetry = m_retrying;
    if (!m_retrying) {
        if (m_place)
            reach(int(m_place->entries.size()) - 1);
        m_place.reset();
    }
    const int rows = m_controls.results->rowCount();
    const int failed = int(m_controls.results->failedRows().size());
    const QString tally = QStringLiteral("有结果%1行，失败%2行").arg(rows - failed).arg(failed);
    // A run's end text is fixed; how it went is told beside it, and a retry's end says it all.
    m_controls.status->setPanelText(2,
                                    m_endedRetry ? QStringLiteral("重新查询完毕：") + tally
                                                 : QStringLiteral("所有域名已查询完毕!"));
    m_controls.status->panel(2)->setToolTip(tally);
    m_controls.timer->stop();
    m_controls.list->setEnabled(true);
    m_controls.startStop->setText(kStartCaption);
    m_state.queryMode = 0;
    m_controls.pace->setEnabled(true);
    m_state.queryCursor = 0;
    m_retrying = false;
    m_retryRows.clear();
    emit runStateChanged();
    if (first)
        emit finished();
}

void RunController::onPaceScroll()
{
    m_controls.paceLabel->setText(QString::number(m_controls.pace->value())
                                  + QStringLiteral("秒/次"));
    m_controls.paceLabel->adjustSize();
}

void RunController::cx()
{
    QPointer<RunController> alive(this);
    m_state.queryMode = 1;
    m_controls.list->setListIndex(m_controls.list->count() - 1);
    if (!alive)
        return;
    // A run that is going on keeps querying on its remaining ticks.
    if (!running())
        m_state.queryMode = 0;
}
