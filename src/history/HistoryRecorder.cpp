#include "HistoryRecorder.h"

#include <QTimer>

#include <algorithm>
#include <utility>

// What lives on the writing thread: the store and the timer that commits it.
struct HistoryRecorder::Writer
{
    std::unique_ptr<HistoryStore> store;
    QTimer *commitTimer = nullptr;
    qint64 run = 0;
    // The run over a list whose rows the table shows (begun, continued or reopened): adds and
    // retries outside a run belong to it, and 继续查询 goes on with it.
    qint64 tableRun = 0;
    int reached = -1; // how far the open run came, until its first row makes it
    bool told = false; // a problem is told once
    int waitingSaid = 0; // rows said to be waiting, until they are written
};

HistoryRecorder::HistoryRecorder(const QString &path, const QString &service, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_service(service)
    , m_context(new QObject)
    , m_writer(std::make_shared<Writer>())
{
    m_thread.setObjectName(QStringLiteral("history"));
    m_context->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
    onWriter([this, path](Writer &writer) {
        writer.store = std::make_unique<HistoryStore>(path);
        writer.commitTimer = new QTimer(m_context);
        writer.commitTimer->setSingleShot(true);
        writer.commitTimer->setInterval(1000);
        QObject::connect(writer.commitTimer, &QTimer::timeout, m_context,
                         [this] { commitAndTell(*m_writer); });
        const HistoryStore::Outcome outcome = writer.store->open();
        if (!outcome.movedTo.isEmpty()) {
            QMetaObject::invokeMethod(
                this, [this, movedTo = outcome.movedTo] { emit movedAside(movedTo); });
        }
        tell(outcome);
    });
}

HistoryRecorder::~HistoryRecorder()
{
    endRun();
    // Waited for: a quit may end the thread's loop before work merely posted to it has run.
    QMetaObject::invokeMethod(
        m_context,
        [writer = m_writer] {
            writer->store->commit();
            delete writer->commitTimer;
            writer->store.reset(); // its connection belongs to this thread
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void HistoryRecorder::onWriter(std::function<void(Writer &)> work)
{
    QMetaObject::invokeMethod(m_context,
                              [writer = m_writer, work = std::move(work)] { work(*writer); });
}

void HistoryRecorder::commitAndTell(Writer &writer)
{
    const int rows = writer.store->waitingRows();
    const bool written = writer.store->commit();
    tell(writer.store->problem());
    const HistoryStore::Outcome &passing = writer.store->passing();
    if (!written && passing.problem != HistoryStore::Problem::None) {
        // Tried again a second after each failure: a lock waits its busy time besides.
        writer.commitTimer->start();
        if (writer.waitingSaid == 0) {
            writer.waitingSaid = rows;
            QMetaObject::invokeMethod(
                this, [this, rows, reason = passing.reason] { emit waiting(rows, reason); });
        }
    } else if (written && writer.waitingSaid > 0) {
        writer.waitingSaid = 0;
        QMetaObject::invokeMethod(this, [this, rows] { emit caughtUp(rows); });
    }
}

void HistoryRecorder::tell(const HistoryStore::Outcome &outcome)
{
    if (outcome.problem == HistoryStore::Problem::None || m_writer->told)
        return;
    m_writer->told = true;
    QMetaObject::invokeMethod(this, [this, reason = outcome.reason, kind = outcome.problem] {
        m_stopped = true;
        m_notOurs = kind == HistoryStore::Problem::NotOurs;
        emit stopped(reason);
    });
}

void HistoryRecorder::beginRun(const QString &kind, const QStringList &entries)
{
    endRun();
    m_openKind = kind;
    m_openStarted = QDateTime::currentDateTime();
    m_openEntries = entries;
    onWriter([fresh = !entries.isEmpty()](Writer &writer) {
        writer.reached = -1;
        if (fresh)
            writer.tableRun = 0; // a new table; its run is made with its first row
    });
}

void HistoryRecorder::beginRetry()
{
    endRun();
    m_openKind = QStringLiteral("retry");
    m_openStarted = QDateTime::currentDateTime();
    m_openEntries.clear();
}

void HistoryRecorder::continueRun()
{
    endRun();
    m_openKind = QStringLiteral("run");
    m_openStarted = QDateTime::currentDateTime();
    onWriter([](Writer &writer) {
        writer.reached = -1;
        writer.run = writer.tableRun; // 0: it left no trace, and starts one with its first row
    });
}

void HistoryRecorder::adoptRun(qint64 fileRun)
{
    onWriter([fileRun](Writer &writer) { writer.tableRun = writer.store->adoptRun(fileRun); });
}

void HistoryRecorder::reach(int entry)
{
    if (m_stopped || m_openKind.isEmpty())
        return;
    onWriter([entry](Writer &writer) {
        if (writer.run)
            writer.store->reach(writer.run, entry);
        else
            writer.reached = entry;
    });
}

void HistoryRecorder::record(const HistoryRow &row)
{
    if (m_stopped)
        return;
    const bool single = m_openKind.isEmpty(); // an add's query outside a run
    const bool retry = m_openKind == QLatin1String("retry");
    const QString kind = single ? QStringLiteral("add") : m_openKind;
    const QDateTime started = single ? QDateTime::currentDateTime() : m_openStarted;
    // A run is written with its first row: a run that fetched nothing leaves no trace.
    onWriter([this, row, single, retry, kind, started, entries = m_openEntries](Writer &writer) {
        // Adds and retries fill the table of a run: they are kept as its rows, a retried row in
        // place of the failed one. Without such a run, each is a small run of its own.
        const bool ofTable = (single || retry) && writer.tableRun;
        qint64 run = ofTable ? writer.tableRun : writer.run;
        if (!run) {
            run = writer.store->beginRun(kind, m_service, started, entries);
            if (!single)
                writer.run = run;
            if (!entries.isEmpty())
                writer.tableRun = run;
        }
        if (writer.reached >= 0 && !single && !retry)
            writer.store->reach(run, std::exchange(writer.reached, -1));
        const PreviousCounts previous = writer.store->record(run, row, retry && ofTable);
        if (single && !ofTable)
            writer.store->endRun(run, started);
        tell(writer.store->problem());
        if (std::any_of(previous.begin(), previous.end(), [](const auto &p) { return bool(p); }))
            QMetaObject::invokeMethod(this, [this, row, previous] {
                emit previousFound(row.number, row.domain, previous);
            });
        if (!writer.commitTimer->isActive())
            writer.commitTimer->start();
    });
}

void HistoryRecorder::endRun()
{
    if (m_openKind.isEmpty())
        return;
    m_openKind.clear();
    onWriter([this](Writer &writer) {
        writer.store->endRun(writer.run, QDateTime::currentDateTime());
        writer.run = 0;
        writer.commitTimer->stop();
        commitAndTell(writer);
    });
}

void HistoryRecorder::clear()
{
    onWriter([this](Writer &writer) {
        writer.store->clear();
        tell(writer.store->problem());
    });
}

void HistoryRecorder::deleteRun(qint64 id)
{
    onWriter([this, id](Writer &writer) {
        writer.store->deleteRun(id);
        if (!writer.store->knows(writer.tableRun))
            writer.tableRun = 0;
        if (!writer.store->knows(writer.run))
            writer.run = 0;
        tell(writer.store->problem());
    });
}

void HistoryRecorder::flush()
{
    onWriter([this](Writer &writer) {
        if (writer.store->uncommitted())
            commitAndTell(writer);
    });
    QMetaObject::invokeMethod(
        m_context, [] {}, Qt::BlockingQueuedConnection);
}

int HistoryRecorder::finish()
{
    endRun();
    int lost = 0;
    QMetaObject::invokeMethod(
        m_context,
        [writer = m_writer, &lost] {
            if (writer->store->problem().problem == HistoryStore::Problem::None
                && !writer->store->commit())
                lost = writer->store->waitingRows();
            lost += writer->store->lostRows();
        },
        Qt::BlockingQueuedConnection);
    return lost;
}
