#include "HistoryStore.h"

#include "CountReading.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

QAtomicInt g_connections;

// How long a write waits for another program that holds the file before giving up.
const char kBusyTimeout[] = "QSQLITE_BUSY_TIMEOUT=3000";

// Step n brings a file at version n to version n + 1. A file is only ever changed by these.
const QList<QStringList> kMigrations {
    {
        "CREATE TABLE runs (id INTEGER PRIMARY KEY, kind TEXT NOT NULL, started INTEGER NOT NULL,"
        " ended INTEGER, service TEXT NOT NULL)",
        "CREATE TABLE records (id INTEGER PRIMARY KEY, run INTEGER NOT NULL REFERENCES runs(id),"
        " number INTEGER NOT NULL, domain TEXT NOT NULL, fetched INTEGER NOT NULL,"
        " baidu TEXT, google TEXT, so360 TEXT, sogou TEXT,"
        " baidu_value INTEGER, google_value INTEGER, so360_value INTEGER, sogou_value INTEGER,"
        " failure TEXT)",
        "CREATE INDEX records_by_domain ON records (domain COLLATE NOCASE, id)",
        "CREATE INDEX records_by_run ON records (run, id)",
    },
    {
        // A run over a list keeps the list as it was started and the last entry it made
        // current, so that it can be continued after a stop, a close or a crash.
        "CREATE TABLE run_entries (run INTEGER NOT NULL REFERENCES runs(id),"
        " position INTEGER NOT NULL, entry TEXT NOT NULL, PRIMARY KEY (run, position))"
        " WITHOUT ROWID",
        "ALTER TABLE runs ADD COLUMN reached INTEGER",
    },
};
const int kSchemaVersion = int(kMigrations.size());

const char kRowColumns[] = "number, domain, fetched, baidu, google, so360, sogou, failure";

// SQLite's primary result codes, as the driver reports them.
enum : int { kBusy = 5, kLocked = 6, kIoError = 10, kCorrupt = 11, kFull = 13, kNotADatabase = 26 };

// What marks a file as this program's history ("VRNQ"), set when the file is made.
const int kApplicationId = 0x56524E51;
// What the first version of the schema made, before files were marked: such a file is ours.
const QStringList kFirstSchemaNames { "records", "records_by_domain", "records_by_run", "runs" };

HistoryStore::Outcome NotOursOutcome()
{
    return { HistoryStore::Problem::NotOurs,
             QStringLiteral("它不是本程序的历史记录文件，未作任何改动。"),
             {} };
}

// Fills the engines `previous` has no count for yet from a row fetched at `fetched`; returns how
// many it filled.
int TakePrevious(PreviousCounts &previous, const PageCounts &counts, const QDateTime &fetched)
{
    int taken = 0;
    for (int k = 0; k < 4; ++k) {
        const std::optional<qint64> value = CountValue(counts[k]);
        if (!previous[k] && value) {
            previous[k] = PreviousCount { fetched, counts[k], *value };
            ++taken;
        }
    }
    return taken;
}

int SqliteCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() & 0xff;
}

} // namespace

HistoryStore::HistoryStore(const QString &path)
    : m_path(path)
    , m_connection(QStringLiteral("history-%1").arg(g_connections.fetchAndAddRelaxed(1)))
{
}

HistoryStore::~HistoryStore()
{
    close();
}

void HistoryStore::close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

HistoryStore::Outcome HistoryStore::open()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    bool broken = false;
    Outcome outcome = openOnce(&broken);
    if (!broken)
        return outcome;
    // Never deleted: the user may want to rescue it.
    if (!moveAside())
        return m_problem;
    const QString movedTo = m_problem.movedTo;
    m_problem = {};
    outcome = openOnce(&broken);
    outcome.movedTo = movedTo;
    m_problem.movedTo = movedTo;
    return outcome;
}

HistoryStore::Outcome HistoryStore::openToRead()
{
    bool broken = false;
    return openOnce(&broken, true);
}

HistoryStore::Outcome HistoryStore::openOnce(bool *broken, bool toRead)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QString::fromLatin1(kBusyTimeout)
                         + (toRead ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    if (!db.open()) {
        failToOpen(db.lastError());
        return m_problem;
    }
    QSqlQuery query(db);
    // Nothing is written before the file is known to be ours: a file that is no database, or
    // another program's database, is left exactly as it was.
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        const int code = SqliteCode(query.lastError());
        if (code == kNotADatabase || code == kCorrupt)
            m_problem = NotOursOutcome();
        else
            failToOpen(query.lastError());
        return m_problem;
    }
    const int version = query.value(0).toInt();
    if (!ours(version)) {
        if (m_problem.problem == Problem::None)
            m_problem = NotOursOutcome();
        return m_problem;
    }
    if (version > kSchemaVersion) {
        m_problem = { Problem::Newer,
                      QStringLiteral("它由更新版本的本程序写成，本程序未作任何改动。"),
                      {} };
        return m_problem;
    }
    if (toRead)
        return m_problem;
    if (!query.exec(QStringLiteral("PRAGMA quick_check(1)")) || !query.next()
        || query.value(0).toString() != QStringLiteral("ok")) {
        *broken = true;
        m_problem = { Problem::Unusable, QStringLiteral("文件已损坏。"), {} };
        return m_problem;
    }
    // A file of the first version, made before files were marked, gets its mark now.
    if (version > 0)
        query.exec(QStringLiteral("PRAGMA application_id=%1").arg(kApplicationId));
    // A crash loses what was not yet committed, never what was; readers never wait.
    // A long run's lookups land anywhere in the domain index: it stays in memory.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL"))
        || !query.exec(QStringLiteral("PRAGMA synchronous=NORMAL"))
        || !query.exec(QStringLiteral("PRAGMA cache_size=-32768")))
        failToOpen(query.lastError());
    else if (!migrate(version))
        failToOpen({});
    return m_problem;
}

bool HistoryStore::ours(int version)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("PRAGMA application_id")) || !query.next())
        return failToOpen(query.lastError());
    const int id = query.value(0).toInt();
    if (id != 0)
        return id == kApplicationId;
    QStringList names;
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master ORDER BY name")))
        return failToOpen(query.lastError());
    while (query.next())
        names << query.value(0).toString();
    // A new (empty) file is ours to make; so is one our first version made before the mark.
    return (version == 0 && names.isEmpty()) || (version == 1 && names == kFirstSchemaNames);
}

bool HistoryStore::migrate(int from)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    for (int version = from; version < kSchemaVersion; ++version) {
        // Another program may have brought the file up while this one waited for it.
        if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))
            || !query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
            return fail(query.lastError());
        if (query.value(0).toInt() > version) {
            version = query.value(0).toInt() - 1;
            query.exec(QStringLiteral("COMMIT"));
            continue;
        }
        if (version == 0
            && !query.exec(QStringLiteral("PRAGMA application_id=%1").arg(kApplicationId)))
            return fail(query.lastError());
        for (const QString &statement : kMigrations.at(version)) {
            if (!query.exec(statement)) {
                const QSqlError error = query.lastError();
                query.exec(QStringLiteral("ROLLBACK"));
                return fail(error);
            }
        }
        if (!query.exec(QStringLiteral("PRAGMA user_version=%1").arg(version + 1))
            || !query.exec(QStringLiteral("COMMIT")))
            return fail(query.lastError());
    }
    return true;
}

bool HistoryStore::moveAside()
{
    close();
    const QString movedTo = m_path
        + QDateTime::currentDateTime().toString(QStringLiteral("'.broken-'yyyyMMdd-HHmmss"));
    if (!QFile::rename(m_path, movedTo)) {
        m_problem = { Problem::Unusable,
                      QStringLiteral("文件已损坏，且无法改名保存：%1").arg(movedTo),
                      {} };
        return false;
    }
    // The journal and its index belong to the broken file, not to the fresh one.
    for (const char *part : { "-wal", "-shm" })
        QFile::rename(m_path + QLatin1String(part), movedTo + QLatin1String(part));
    m_problem.movedTo = movedTo;
    return true;
}

bool HistoryStore::fail(const QSqlError &error)
{
    const int code = SqliteCode(error);
    // A lock or a full disk passes: the rows wait for the next commit.
    if (code == kBusy || code == kLocked) {
        m_passing = { Problem::Locked, QStringLiteral("文件正被其他程序占用。"), {} };
        return false;
    }
    if (code == kFull || code == kIoError) {
        m_passing = { Problem::Full,
                      code == kFull ? QStringLiteral("磁盘空间不足。")
                                    : QStringLiteral("无法写入（%1）。").arg(error.databaseText()),
                      {} };
        return false;
    }
    if (m_problem.problem == Problem::None)
        m_problem = { Problem::Unusable,
                      QStringLiteral("无法读写（%1）。").arg(error.databaseText()),
                      {} };
    return false;
}

bool HistoryStore::failToOpen(const QSqlError &error)
{
    if (error.isValid())
        fail(error);
    // What passes while writing ends the opening: the store has no file to write to.
    if (m_problem.problem == Problem::None)
        m_problem = m_passing.problem != Problem::None
            ? m_passing
            : Outcome { Problem::Unusable, QStringLiteral("无法打开。"), {} };
    m_passing = {};
    return false;
}

qint64 HistoryStore::beginRun(const QString &kind, const QString &service, const QDateTime &started,
                              const QStringList &entries)
{
    if (m_problem.problem != Problem::None)
        return 0;
    // Written with its rows, so that a lock meanwhile holds up nothing.
    m_newRuns.append({ ++m_lastRun, kind, service, started, entries });
    return m_lastRun;
}

qint64 HistoryStore::adoptRun(qint64 fileRun)
{
    if (m_problem.problem != Problem::None || fileRun <= 0)
        return 0;
    m_fileRuns.insert(++m_lastRun, fileRun);
    return m_lastRun;
}

void HistoryStore::reach(qint64 run, int entry)
{
    if (run > 0)
        m_reached.insert(run, entry);
}

PreviousCounts HistoryStore::record(qint64 run, const HistoryRow &row, bool replaces)
{
    PreviousCounts previous;
    if (m_problem.problem != Problem::None)
        return previous;
    if (m_rows.size() >= kMaxWaitingRows) {
        ++m_lost;
        return previous;
    }
    int missing = 4;
    const auto take = [&](const PageCounts &counts, const QDateTime &fetched) {
        missing -= TakePrevious(previous, counts, fetched);
    };
    // The rows kept since the last commit are the newest.
    // Looked up by domain: rows may wait here by the thousand while the file refuses them.
    const QString key = row.domain.toCaseFolded();
    const QList<int> same = m_rowsByDomain.value(key);
    for (auto at = same.crbegin(); at != same.crend() && missing > 0; ++at)
        take(m_rows.at(*at).row.counts, m_rows.at(*at).row.fetched);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM records WHERE domain = ? COLLATE NOCASE"
                                 " ORDER BY id DESC")
                      .arg(QLatin1String(kRowColumns)));
    query.addBindValue(row.domain);
    // A lookup that cannot be made leaves the row without its earlier counts, nothing more.
    if (missing > 0 && query.exec()) {
        while (missing > 0 && query.next()) {
            const HistoryRow earlier = RowOf(query);
            take(earlier.counts, earlier.fetched);
        }
    }
    m_rowsByDomain[key].append(int(m_rows.size()));
    m_rows.append({ run, row, replaces });
    return previous;
}

void HistoryStore::endRun(qint64 run, const QDateTime &ended)
{
    if (run > 0)
        m_endings.append({ run, ended });
}

bool HistoryStore::commit()
{
    if (m_problem.problem != Problem::None)
        return false;
    if (!uncommitted())
        return true;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(query.lastError());
    QHash<qint64, qint64> written;
    if (!writeKept(written) || !query.exec(QStringLiteral("COMMIT"))) {
        const QSqlError error = query.lastError().isValid() ? query.lastError() : QSqlError();
        query.exec(QStringLiteral("ROLLBACK"));
        if (error.isValid())
            fail(error);
        return false;
    }
    m_fileRuns.insert(written);
    m_newRuns.clear();
    m_rows.clear();
    m_rowsByDomain.clear();
    m_endings.clear();
    m_reached.clear();
    m_passing = {};
    return true;
}

bool HistoryStore::writeKept(QHash<qint64, qint64> &written)
{
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery run(db);
    run.prepare(QStringLiteral("INSERT INTO runs (kind, started, service) VALUES (?, ?, ?)"));
    for (const NewRun &begun : std::as_const(m_newRuns)) {
        run.addBindValue(begun.kind);
        run.addBindValue(begun.started.toSecsSinceEpoch());
        run.addBindValue(begun.service);
        if (!run.exec())
            return fail(run.lastError());
        written.insert(begun.run, run.lastInsertId().toLongLong());
        if (!writeEntries(run.lastInsertId().toLongLong(), begun.entries))
            return false;
    }
    const auto inFile = [&](qint64 begun) { return m_fileRuns.value(begun, written.value(begun)); };
    const QString values = QStringLiteral(
        "fetched = ?, baidu = ?, google = ?, so360 = ?, sogou = ?, baidu_value = ?,"
        " google_value = ?, so360_value = ?, sogou_value = ?, failure = ?");
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral(
        "INSERT INTO records (run, number, domain, fetched, baidu, google, so360, sogou,"
        " baidu_value, google_value, so360_value, sogou_value, failure)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery replace(db);
    replace.prepare(QStringLiteral("UPDATE records SET %1 WHERE id ="
                                   " (SELECT max(id) FROM records WHERE run = ? AND number = ?)")
                        .arg(values));
    const auto bindValues = [](QSqlQuery &query, const HistoryRow &row) {
        query.addBindValue(row.fetched.toSecsSinceEpoch());
        for (const QString &count : row.counts)
            query.addBindValue(count);
        for (const QString &count : row.counts) {
            const std::optional<qint64> value = CountValue(count);
            query.addBindValue(value ? QVariant(*value) : QVariant(QMetaType::fromType<qint64>()));
        }
        query.addBindValue(row.failure);
    };
    for (const Kept &kept : std::as_const(m_rows)) {
        if (kept.replaces) {
            bindValues(replace, kept.row);
            replace.addBindValue(inFile(kept.run));
            replace.addBindValue(kept.row.number);
            if (!replace.exec())
                return fail(replace.lastError());
            if (replace.numRowsAffected() > 0)
                continue; // else the failed row was never kept: this one is added
        }
        insert.addBindValue(inFile(kept.run));
        insert.addBindValue(kept.row.number);
        insert.addBindValue(kept.row.domain);
        bindValues(insert, kept.row);
        if (!insert.exec())
            return fail(insert.lastError());
    }
    QSqlQuery reach(db);
    reach.prepare(QStringLiteral("UPDATE runs SET reached = ? WHERE id = ?"));
    for (auto at = m_reached.cbegin(); at != m_reached.cend(); ++at) {
        reach.addBindValue(at.value());
        reach.addBindValue(inFile(at.key()));
        if (!reach.exec())
            return fail(reach.lastError());
    }
    QSqlQuery end(db);
    end.prepare(QStringLiteral("UPDATE runs SET ended = ? WHERE id = ?"));
    for (const auto &[ended, at] : std::as_const(m_endings)) {
        end.addBindValue(at.toSecsSinceEpoch());
        end.addBindValue(inFile(ended));
        if (!end.exec())
            return fail(end.lastError());
    }
    return true;
}

bool HistoryStore::writeEntries(qint64 fileRun, const QStringList &entries)
{
    QSqlQuery insert(QSqlDatabase::database(m_connection, false));
    insert.prepare(
        QStringLiteral("INSERT INTO run_entries (run, position, entry) VALUES (?, ?, ?)"));
    for (int position = 0; position < entries.size(); ++position) {
        insert.addBindValue(fileRun);
        insert.addBindValue(position);
        insert.addBindValue(entries.at(position));
        if (!insert.exec())
            return fail(insert.lastError());
    }
    return true;
}

HistoryRow HistoryStore::RowOf(const QSqlQuery &query)
{
    HistoryRow row;
    row.number = query.value(0).toInt();
    row.domain = query.value(1).toString();
    row.fetched = QDateTime::fromSecsSinceEpoch(query.value(2).toLongLong());
    for (int k = 0; k < 4; ++k)
        row.counts[k] = query.value(3 + k).toString();
    row.failure = query.value(7).toString();
    return row;
}

QList<HistoryRow> HistoryStore::domainRows(const QString &domain)
{
    QList<HistoryRow> rows;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM records WHERE domain = ? COLLATE NOCASE"
                                 " ORDER BY id DESC")
                      .arg(QLatin1String(kRowColumns)));
    query.addBindValue(domain);
    if (m_problem.problem != Problem::None || !query.exec())
        return rows;
    while (query.next())
        rows << RowOf(query);
    return rows;
}

HistoryStore::StoredRun HistoryStore::lastRun()
{
    const QList<qint64> last = lastRuns(1);
    return last.isEmpty() ? StoredRun() : run(last.constFirst());
}

QList<qint64> HistoryStore::lastRuns(int count)
{
    QList<qint64> ids;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    // By the row that landed last: a run a crash or a close cut short counts too; an add's lone
    // query or a retry kept apart by an earlier version is no run of the user's.
    query.prepare(
        QStringLiteral("SELECT records.run FROM records JOIN runs ON runs.id = records.run"
                       " WHERE runs.kind IN ('run', 'batch') GROUP BY records.run"
                       " ORDER BY max(records.id) DESC LIMIT ?"));
    query.addBindValue(count);
    if (m_problem.problem != Problem::None || !query.exec())
        return ids;
    while (query.next())
        ids << query.value(0).toLongLong();
    return ids;
}

HistoryStore::StoredRun HistoryStore::run(qint64 id)
{
    StoredRun last;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT reached FROM runs WHERE id = ?"));
    query.addBindValue(id);
    if (m_problem.problem != Problem::None || !query.exec() || !query.next())
        return last;
    last.id = id;
    last.reached = query.value(0).isNull() ? -1 : query.value(0).toInt();
    query.prepare(QStringLiteral("SELECT %1, id FROM records WHERE run = ? ORDER BY number, id")
                      .arg(QLatin1String(kRowColumns)));
    query.addBindValue(last.id);
    if (!query.exec())
        return {};
    QSqlQuery earlier(QSqlDatabase::database(m_connection, false));
    earlier.setForwardOnly(true);
    earlier.prepare(QStringLiteral("SELECT %1 FROM records WHERE domain = ? COLLATE NOCASE"
                                   " AND id < ? ORDER BY id DESC")
                        .arg(QLatin1String(kRowColumns)));
    while (query.next()) {
        last.rows << RowOf(query);
        // What its domain showed before it, as the row had it when it landed.
        PreviousCounts before;
        earlier.addBindValue(last.rows.constLast().domain);
        earlier.addBindValue(query.value(8));
        int missing = earlier.exec() ? 4 : 0;
        while (missing > 0 && earlier.next()) {
            const HistoryRow row = RowOf(earlier);
            missing -= TakePrevious(before, row.counts, row.fetched);
        }
        last.previous << before;
    }
    query.prepare(QStringLiteral("SELECT entry FROM run_entries WHERE run = ? ORDER BY position"));
    query.addBindValue(last.id);
    if (!query.exec())
        return {};
    while (query.next())
        last.entries << query.value(0).toString();
    return last;
}

QList<HistoryRow> HistoryStore::countsOf(qint64 run)
{
    QList<HistoryRow> rows;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT domain, baidu, google, so360, sogou FROM records"
                                 " WHERE run = ? ORDER BY number, id"));
    query.addBindValue(run);
    if (m_problem.problem != Problem::None || !query.exec())
        return rows;
    while (query.next()) {
        HistoryRow &row = rows.emplace_back();
        row.domain = query.value(0).toString();
        for (int k = 0; k < 4; ++k)
            row.counts[k] = query.value(1 + k).toString();
    }
    return rows;
}

QList<HistoryStore::RunSummary> HistoryStore::runs()
{
    QList<RunSummary> runs;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (m_problem.problem != Problem::None
        || !query.exec(
            QStringLiteral("SELECT runs.id, kind, started, service, count(*),"
                           " sum(coalesce(baidu, '') = '' AND coalesce(google, '') = ''"
                           "     AND coalesce(so360, '') = '' AND coalesce(sogou, '') = '')"
                           " FROM runs JOIN records ON records.run = runs.id"
                           " GROUP BY runs.id ORDER BY started DESC, runs.id DESC")))
        return runs;
    while (query.next())
        runs.append({ query.value(0).toLongLong(), query.value(1).toString(),
                      QDateTime::fromSecsSinceEpoch(query.value(2).toLongLong()),
                      query.value(3).toString(), query.value(4).toInt(), query.value(5).toInt() });
    return runs;
}

bool HistoryStore::deleteRun(qint64 id)
{
    if (!commit())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(query.lastError());
    for (const char *table : { "records WHERE run", "run_entries WHERE run", "runs WHERE id" }) {
        query.prepare(QStringLiteral("DELETE FROM %1 = ?").arg(QLatin1String(table)));
        query.addBindValue(id);
        if (!query.exec()) {
            const QSqlError error = query.lastError();
            query.exec(QStringLiteral("ROLLBACK"));
            return fail(error);
        }
    }
    if (!query.exec(QStringLiteral("COMMIT")))
        return fail(query.lastError());
    for (auto at = m_fileRuns.begin(); at != m_fileRuns.end();)
        at = at.value() == id ? m_fileRuns.erase(at) : std::next(at);
    return true;
}

bool HistoryStore::knows(qint64 run) const
{
    return m_fileRuns.contains(run)
        || std::any_of(m_newRuns.cbegin(), m_newRuns.cend(),
                       [run](const NewRun &begun) { return begun.run == run; });
}

bool HistoryStore::clear()
{
    if (!commit())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(query.lastError());
    if (!query.exec(QStringLiteral("DELETE FROM records"))
        || !query.exec(QStringLiteral("DELETE FROM run_entries"))
        || !query.exec(QStringLiteral("DELETE FROM runs"))
        || !query.exec(QStringLiteral("COMMIT"))) {
        const QSqlError error = query.lastError();
        query.exec(QStringLiteral("ROLLBACK"));
        return fail(error);
    }
    // Gone from the disk too, not only from the tables.
    query.exec(QStringLiteral("VACUUM"));
    query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return true;
}
