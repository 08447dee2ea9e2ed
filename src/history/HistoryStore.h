#pragma once

#include "CountChange.h"
#include "PageCuts.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

// One row of the results table as it landed.
struct HistoryRow
{
    int number = 0; // its number in the table
    QString domain;
    PageCounts counts; // as shown; all empty when it failed
    QString failure; // why it has no counts, or empty
    QDateTime fetched;
};

// Every row the program fetched, by run, in one SQLite file. One store is one connection: it
// is used only on the thread that made it. Runs and rows are kept in memory and written in one
// short transaction by commit(), so recording a row costs a lookup, not a write to the disk.
// The file is ours only when SQLite marks it so (its application id, set when it is made): any
// other file is left exactly as it is.
class HistoryStore
{
public:
    enum class Problem {
        None,
        Locked, // another program held the file past the busy time: passes, tried again
        Full, // the disk is full or a write failed: passes, tried again
        Newer, // written by a newer version of this program: left untouched
        NotOurs, // not a history file of this program: left untouched
        Unusable, // cannot be opened or written, or found broken while in use
    };
    struct Outcome
    {
        Problem problem = Problem::None;
        QString reason; // in the user's words
        QString movedTo; // where a broken file was moved before a fresh one was started
    };
    // Rows kept in memory while the file refuses them for a while; past this, rows are lost.
    static constexpr int kMaxWaitingRows = 65'536;

    explicit HistoryStore(const QString &path);
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    // Opens the file for writing, made or brought up to this version's schema. A file of ours
    // that is broken is moved aside (its name with the date and time added) and a fresh one
    // started.
    Outcome open();
    // Opens the file only to read what the writing store kept; a missing file reads as empty.
    Outcome openToRead();
    // The problem that ended the store's use, if any; after one, the store does nothing more.
    const Outcome &problem() const { return m_problem; }
    // Why the last commit could not write (a lock, a full disk): the rows wait for the next.
    const Outcome &passing() const { return m_passing; }

    // A new run of `kind` ("run", "retry", "add", "batch") against `service`, over the list
    // `entries` if it has one; 0 on a problem.
    qint64 beginRun(const QString &kind, const QString &service, const QDateTime &started,
                    const QStringList &entries = {});
    // A run already in the file (its id there) goes on: rows recorded to the number returned
    // join it.
    qint64 adoptRun(qint64 fileRun);
    // The run made entry `entry` of its list current: how far it came.
    void reach(qint64 run, int entry);
    // Keeps `row` of `run` for the next commit, and tells what that domain's counts were
    // before it. `replaces`: it takes the place of the run's row with the same number.
    PreviousCounts record(qint64 run, const HistoryRow &row, bool replaces = false);
    void endRun(qint64 run, const QDateTime &ended);
    // Writes what was kept in one short transaction, so that another program writing the same
    // file waits for milliseconds, not for the length of a run. False when nothing could be
    // written: after a problem, or for a passing fault, when the rows wait for the next commit.
    bool commit();
    bool uncommitted() const
    {
        return !m_rows.isEmpty() || !m_endings.isEmpty() || !m_reached.isEmpty();
    }
    int waitingRows() const { return int(m_rows.size()); }
    // Rows given up because too many were waiting.
    int lostRows() const { return m_lost; }

    // Every row of `domain`, the newest first.
    QList<HistoryRow> domainRows(const QString &domain);
    // A run as the file keeps it.
    struct StoredRun
    {
        qint64 id = 0; // in the file; 0: none
        QList<HistoryRow> rows; // by their numbers
        QList<PreviousCounts> previous; // of each row, when asked: what its domain showed before
        QStringList entries; // its list as it was started; empty for a run without one
        int reached = -1; // the last entry it made current
    };
    // The run over a list (the window's or the batch mode's) whose row landed last, however it
    // ended.
    StoredRun lastRun();
    // The ids of the last `count` runs over a list, the last first, by the row that landed last.
    QList<qint64> lastRuns(int count);
    // The run with id `id` in the file; none (id 0) when there is no such run.
    StoredRun run(qint64 id);
    // Run `id`'s rows by their numbers with their domains and counts only: what a comparison
    // reads, without the cost of the rest.
    QList<HistoryRow> countsOf(qint64 run);
    // A run as 历史查询… lists it.
    struct RunSummary
    {
        qint64 id;
        QString kind;
        QDateTime started;
        QString service;
        int rows;
        int failed; // rows with no count at all
    };
    // Every run that kept a row, the newest first.
    QList<RunSummary> runs();
    // Forgets run `id` (in the file) with its rows and its list.
    bool deleteRun(qint64 id);
    // Whether rows recorded to `run` (a number given here) still go to a run.
    bool knows(qint64 run) const;
    // Forgets every run and row.
    bool clear();

private:
    struct Kept
    {
        qint64 run;
        HistoryRow row;
        bool replaces;
    };
    struct NewRun
    {
        qint64 run;
        QString kind;
        QString service;
        QDateTime started;
        QStringList entries;
    };
    Outcome openOnce(bool *broken, bool toRead = false);
    // Whether the open file is ours to write: marked as ours, or new.
    bool ours(int version);
    bool migrate(int from);
    bool moveAside();
    void close();
    bool fail(const class QSqlError &error);
    bool failToOpen(const class QSqlError &error);
    bool writeKept(QHash<qint64, qint64> &written);
    bool writeEntries(qint64 fileRun, const QStringList &entries);
    static HistoryRow RowOf(const class QSqlQuery &query);

    QString m_path;
    QString m_connection;
    Outcome m_problem;
    Outcome m_passing;
    qint64 m_lastRun = 0;
    QList<NewRun> m_newRuns; // runs not yet in the file
    QHash<qint64, qint64> m_fileRuns; // a run's number here -> its id in the file
    QList<Kept> m_rows;
    QHash<QString, QList<int>> m_rowsByDomain; // case-folded domain -> its places in m_rows
    QList<std::pair<qint64, QDateTime>> m_endings;
    QHash<qint64, int> m_reached; // a run's number here -> the last entry it made current
    int m_lost = 0;
};
