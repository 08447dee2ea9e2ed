#include "HistoryRecorder.h"
#include "HistoryStore.h"
#include "SqlitePeek.h"
#include "TestFiles.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

HistoryRow Row(int number, const QString &domain, const PageCounts &counts, const QString &fetched,
               const QString &failure = {})
{
    return { number, domain, counts, failure, QDateTime::fromString(fetched, Qt::ISODate) };
}

} // namespace

// The history file, a real SQLite file in a temporary folder: what it keeps and gives back,
// and the files it meets that it cannot simply use.
class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    // Each engine's previous value is the newest that stood for a number, whatever the case
    // of the domain, also from rows not yet committed; reading back, the newest first.
    void keptAndReadBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data/history.sqlite");
        {
            HistoryStore store(path);
            QCOMPARE(store.open().problem, HistoryStore::Problem::None);
            const qint64 first = store.beginRun("run", "http://s/siteall/", {});
            QCOMPARE(store.record(
                         first, Row(1, "a.com", { "1,180", "5", "9", "" }, "2026-11-23T10:00:00")),
                     PreviousCounts {});
            QVERIFY2(store.commit(), qPrintable(store.problem().reason));
            // Pages land in any order; the rows keep their numbers.
            store.record(first, Row(3, "A.com", { "1,180", "-", "12", "" }, "2026-11-30T10:00:00"));
            store.record(first, Row(2, "b.com", {}, "2026-11-30T10:00:00", "HTTP 404"));
            store.endRun(first, QDateTime::currentDateTime());
            QVERIFY(store.commit());
            const qint64 second = store.beginRun("retry", "http://s/siteall/", {});
            const PreviousCounts before = store.record(
                second, Row(2, "a.COM", { "1,234", "", "", "" }, "2026-12-07T10:00:00"));
            QVERIFY(before[0] && before[1] && before[2] && !before[3]);
            QCOMPARE(before[0]->fetched.date(), QDate(2026, 11, 30));
            QCOMPARE(before[1]->shown, "5"); // "-" stands for no number: the one before it
            QCOMPARE(before[1]->fetched.date(), QDate(2026, 11, 23));
            QCOMPARE(before[2]->value, 12);
            const QString then = "上次（2026-11-30 10:00）：";
            QCOMPARE(CountChangeText(*before[0], "1,234"), then + "1,180 → 1,234（+54，+4.6%）");
            QCOMPARE(CountChangeText(*before[2], "3"), then + "12 → 3（-9，-75.0%）");
            QCOMPARE(CountChangeText(*before[2], "12"), then + "12 → 12（0，0.0%）");
            QCOMPARE(CountChangeText(*before[2], ""), then + "12");
            QCOMPARE(CountChangeText({ before[2]->fetched, "0", 0 }, "5"), then + "0 → 5（+5）");
            QCOMPARE(CountDirection(before[0], "1.2万"), 1);
            QCOMPARE(CountDirection(before[1], "5"), 0);
            QVERIFY(!CountDirection(before[3], "5"));
            QVERIFY(store.commit());
        }
        HistoryStore reader(path);
        QCOMPARE(reader.openToRead().problem, HistoryStore::Problem::None);
        const QList<HistoryRow> rows = reader.domainRows("A.Com");
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.first().counts[0], "1,234");
        QCOMPARE(rows.last().fetched, QDateTime::fromString("2026-11-23T10:00:00", Qt::ISODate));
        // The last run over a list, by its numbers, each row with what came before it; a retry
        // kept apart by an earlier version is not it.
        const HistoryStore::StoredRun last = reader.lastRun();
        QCOMPARE(last.rows.size(), 3);
        QCOMPARE(last.rows.at(2).domain, "A.com");
        QVERIFY(!last.previous.at(0)[0] && !last.previous.at(1)[0]);
        QCOMPARE(last.previous.at(2)[0]->shown, "1,180");
        QCOMPARE(last.previous.at(2)[0]->fetched.date(), QDate(2026, 11, 23));
        QCOMPARE(AskSqlite(path, "SELECT baidu_value FROM records ORDER BY id DESC").toLongLong(),
                 1234);
        QCOMPARE(AskSqlite(path, "SELECT count(*) FROM runs WHERE ended IS NOT NULL").toInt(), 1);
    }

    // Only a file SQLite marks as ours is written: a domain list or another program's database
    // is refused byte for byte; ours, found broken, is moved aside and a fresh one started; ours
    // from a newer version is left untouched; ours from before the mark keeps its rows.
    void filesItCannotUse()
    {
        QTemporaryDir dir;
        const QString list = WriteFile(dir.filePath("list.txt"), "a.com\nb.com\n");
        QCOMPARE(AskSqlite(dir.filePath("other.db"), "CREATE TABLE notes (text)"), QVariant());
        AskSqlite(dir.filePath("other.db"), "PRAGMA user_version = 1"); // as many programs mark
        for (const QString &foreign : { list, dir.filePath("other.db") }) {
            const QByteArray bytes = ReadFile(foreign);
            {
                HistoryStore store(foreign);
                QCOMPARE(store.open().problem, HistoryStore::Problem::NotOurs);
                QCOMPARE(store.beginRun("run", "s", {}), 0);
            }
            QCOMPARE(ReadFile(foreign), bytes);
            QVERIFY(!QFile::exists(foreign + "-wal"));
        }

        const QString ours = dir.filePath("ours.sqlite");
        const auto made = [&](const QString &path) {
            HistoryStore store(path);
            QCOMPARE(store.open().problem, HistoryStore::Problem::None);
            store.record(store.beginRun("run", "s", {}), Row(1, "a.com", {}, "2026-12-07T10:00"));
            QVERIFY(store.commit());
        };
        made(ours);
        QByteArray broken = ReadFile(ours);
        broken.replace(4096, broken.size() - 4096, QByteArray(broken.size() - 4096, 'x'));
        WriteFile(ours, broken);
        {
            HistoryStore store(ours);
            const HistoryStore::Outcome outcome = store.open();
            QCOMPARE(outcome.problem, HistoryStore::Problem::None);
            QVERIFY(outcome.movedTo.startsWith(ours + ".broken-"));
            QCOMPARE(ReadFile(outcome.movedTo), broken);
            QVERIFY(store.beginRun("run", "s", {}) > 0);
        }

        const QString newer = dir.filePath("newer.sqlite");
        made(newer);
        QCOMPARE(AskSqlite(newer, "PRAGMA user_version = 99"), QVariant());
        const QByteArray bytes = ReadFile(newer);
        {
            HistoryStore store(newer);
            QCOMPARE(store.open().problem, HistoryStore::Problem::Newer);
        }
        QCOMPARE(ReadFile(newer), bytes);

        const QString unmarked = dir.filePath("unmarked.sqlite"); // as the first version made it
        made(unmarked);
        for (const char *back : { "DROP TABLE run_entries", "ALTER TABLE runs DROP COLUMN reached",
                                  "PRAGMA user_version = 1", "PRAGMA application_id = 0" })
            QCOMPARE(AskSqlite(unmarked, back), QVariant());
        made(unmarked);
        QCOMPARE(AskSqlite(unmarked, "SELECT count(*) FROM records").toInt(), 2);
        QVERIFY(AskSqlite(unmarked, "PRAGMA application_id").toInt() != 0);
    }

    // A lock another program holds past the busy time passes: the rows wait in memory, as many
    // as may wait, and are written once the lock is gone (a disk that fills: the window's test).
    void passingFaults()
    {
        QTemporaryDir dir;
        const QString held = dir.filePath("held.sqlite");
        {
            HistoryStore store(held);
            QCOMPARE(store.open().problem, HistoryStore::Problem::None);
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
            other.setDatabaseName(held);
            QVERIFY(other.open());
            QSqlQuery hold(other);
            QVERIFY(hold.exec("BEGIN EXCLUSIVE"));
            const qint64 run = store.beginRun("run", "s", {});
            store.record(run, Row(1, "a.com", {}, "2026-12-07T10:00:00"));
            QVERIFY(!store.commit()); // after the busy time
            QCOMPARE(store.passing().problem, HistoryStore::Problem::Locked);
            for (int i = 2; i <= 65'537; ++i) // past what may wait: lost, and counted
                store.record(run, Row(i, QString("%1.com").arg(i), {}, "2026-12-07T10:00:00"));
            QCOMPARE(store.waitingRows(), 65'536);
            QCOMPARE(store.lostRows(), 1);
            hold.exec("ROLLBACK");
            hold = QSqlQuery();
            other.close();
            other = QSqlDatabase();
            QSqlDatabase::removeDatabase("other");
            QVERIFY(store.commit());
        }
        QCOMPARE(AskSqlite(held, "SELECT count(*) FROM records").toInt(), 65'536);
    }

    // Two programs writing the same file at once, each on its own thread and connection: every
    // row of both is kept.
    void twoWritersAtOnce()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        {
            HistoryRecorder one(path, "s"), two(path, "s");
            one.beginRun("run");
            two.beginRun("batch");
            for (int i = 1; i <= 300; ++i)
                for (HistoryRecorder *recorder : { &one, &two }) {
                    recorder->record(Row(i, QString("%1.com").arg(i), {}, "2026-12-07T10:00:00"));
                    if (i % 50 == 0)
                        recorder->flush();
                }
        } // each ends its run and commits what it holds before it goes
        QCOMPARE(AskSqlite(path, "SELECT count(*) FROM records").toInt(), 600);
        QCOMPARE(AskSqlite(path, "SELECT count(*) FROM runs WHERE ended IS NOT NULL").toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
