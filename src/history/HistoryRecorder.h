#pragma once

#include "HistoryStore.h"

#include <QObject>
#include <QThread>
#include <memory>

// Keeps every row that lands, in a history file written on a thread of its own: the caller
// never waits on the disk. Rows are committed at least once a second and at the end of each
// run, so a crash loses at most the last second. A passing fault (a lock, a full disk) keeps
// the rows waiting and tries again; a problem that stays is told once, and then nothing more
// is recorded.
class HistoryRecorder : public QObject
{
    Q_OBJECT
public:
    // `service` is the statistics service's base address the rows come from.
    HistoryRecorder(const QString &path, const QString &service, QObject *parent = nullptr);
    // Writes what is left and ends the thread.
    ~HistoryRecorder() override;

    QString path() const { return m_path; }
    // A run of `kind` ("run", "retry", "batch") begins, over the list `entries` if it has one:
    // its rows belong to it until endRun().
    void beginRun(const QString &kind, const QStringList &entries = {});
    // The last run over a list goes on: its rows join it until endRun().
    void continueRun();
    // Failed rows of the table are queried again: each row that lands takes the place of the
    // failed one in the table's run, until endRun().
    void beginRetry();
    // The run with id `fileRun` in the file is the one continueRun() goes on with.
    void adoptRun(qint64 fileRun);
    // The run going on made entry `entry` of its list current.
    void reach(int entry);
    // A row landed. Outside a run it joins the run whose rows the table shows, or else is a
    // small run of its own, of kind "add".
    void record(const HistoryRow &row);
    void endRun();
    // Forgets every kept run and row.
    void clear();
    // Forgets run `id` of the file; an add or a retry of its table later is a run of its own.
    void deleteRun(qint64 id);
    // Waits until everything asked so far is written: before reading the file, and at the end.
    void flush();
    // Writes what is left once more, at the end: how many rows could not be kept.
    int finish();
    bool working() const { return !m_stopped; }
    // Stopped because the file is not a history file of this program (left untouched).
    bool refusedFile() const { return m_notOurs; }

signals:
    // What the domain of row `number` showed before (for the window's tool tips and marks).
    void previousFound(int number, const QString &domain, const PreviousCounts &previous);
    // The history cannot be used until the program starts again; `reason` in the user's words.
    void stopped(const QString &reason);
    // A broken file was moved aside to `movedTo` and a fresh one started.
    void movedAside(const QString &movedTo);
    // The file refuses rows for a while (a lock, a full disk): `rows` wait in memory and are
    // tried again. Said once, until caughtUp().
    void waiting(int rows, const QString &reason);
    // The rows that waited are in the file now.
    void caughtUp(int rows);

private:
    struct Writer;
    void onWriter(std::function<void(Writer &)> work);
    void tell(const HistoryStore::Outcome &outcome);
    void commitAndTell(Writer &writer);

    QString m_path;
    QString m_service;
    QThread m_thread;
    QObject *m_context; // lives on the thread; work posted to it runs there
    std::shared_ptr<Writer> m_writer;
    QString m_openKind;
    QDateTime m_openStarted;
    QStringList m_openEntries;
    bool m_stopped = false;
    bool m_notOurs = false;
};
