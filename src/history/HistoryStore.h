#pragma once

#include "CountChange.h"
#include "PageCuts.h"

#include <QDateTime>
#include <QList>
#include <QString>
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
// is used only on the thread that made it. Rows go into a transaction that stays open until
// commit(), so recording a row costs an insert, not a write to the disk.
class HistoryStore
{
public:
    enum class Problem {
        None,
        Locked, // another program held the file past the busy time
        Full, // the disk is full
        Newer, // written by a newer version of this program: left untouched
        Unusable, // cannot be opened or written, or found broken while in use
    };
    struct Outcome
    {
        Problem problem = Problem::None;
        QString reason; // in the user's words
        QString movedTo; // where a broken file was moved before a fresh one was started
    };

    explicit HistoryStore(const QString &path);
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    // Opens the file for writing, made or brought up to this version's schema. A file that is
    // not a database or is broken is moved aside (its name with the date and time added) and a
    // fresh one started.
    Outcome open();
    // Opens the file only to read what the writing store kept; a missing file reads as empty.
    Outcome openToRead();
    // The first problem met since opening, if any; after one, the store does nothing more.
    const Outcome &problem() const { return m_problem; }

    // A new run of `kind` ("run", "retry", "add", "batch") against `service`; 0 on a problem.
    qint64 beginRun(const QString &kind, const QString &service, const QDateTime &started);
    // Keeps `row` of `run` for the next commit, and tells what that domain's counts were
    // before it.
    PreviousCounts record(qint64 run, const HistoryRow &row);
    void endRun(qint64 run, const QDateTime &ended);
    // Writes what was kept in one short transaction, so that another program writing the same
    // file waits for milliseconds, not for the length of a run.
    bool commit();
    bool uncommitted() const { return !m_rows.isEmpty() || !m_endings.isEmpty(); }

    // Every row of `domain`, the newest first.
    QList<HistoryRow> domainRows(const QString &domain);
    // The rows of the run started last, of any kind and however it ended, in their order.
    QList<HistoryRow> lastRunRows();
    // Forgets every run and row.
    bool clear();

private:
    struct Kept
    {
        qint64 run;
        HistoryRow row;
    };
    Outcome openOnce(bool *broken, bool toRead = false);
    bool migrate(int from);
    bool moveAside();
    void close();
    bool fail(const class QSqlError &error);
    static HistoryRow RowOf(const class QSqlQuery &query);

    QString m_path;
    QString m_connection;
    Outcome m_problem;
    QList<Kept> m_rows;
    QList<std::pair<qint64, QDateTime>> m_endings;
};
