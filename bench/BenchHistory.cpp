#include "BenchHistory.h"

#include "BenchUtil.h"
#include "FakePlatform.h"
#include "Form1.h"
#include "HistoryStore.h"
#include "HistoryWindow.h"
#include "ResultsModel.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>

namespace {

HistoryRow RowOf(int i, const QString &domain, const QDateTime &fetched)
{
    const bool failed = i % 10 == 0;
    HistoryRow row { i, domain, {}, failed ? QStringLiteral("HTTP 404") : QString(), fetched };
    if (!failed)
        row.counts = { QStringLiteral("12,%1").arg(i % 1000, 3, 10, QChar(u'0')),
                       QStringLiteral("1.2万"), QStringLiteral("约100"), QStringLiteral("35") };
    return row;
}

double Millis(const QElapsedTimer &clock)
{
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

void BenchHistory(int rows, int records)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    const QString service = QStringLiteral("http://stats.example.com/siteall/");
    const QDateTime start = QDateTime::currentDateTime().addDays(-records);
    {
        HistoryStore store(path);
        store.open();
        // One domain looked at daily, one run a day.
        for (int day = 0; day < records; ++day) {
            const QDateTime when = start.addDays(day);
            const qint64 run = store.beginRun(QStringLiteral("add"), service, when);
            store.record(run, RowOf(day + 1, QStringLiteral("popular.com"), when));
            store.endRun(run, when);
            store.commit();
        }
        // Then a long run, committed as the recorder does: about once a second, which at a
        // 2 ms step is every 500 rows.
        QElapsedTimer clock;
        clock.start();
        const qint64 run = store.beginRun(QStringLiteral("run"), service, start);
        for (int i = 1; i <= rows; ++i) {
            store.record(run, RowOf(i, QStringLiteral("d%1.com").arg(i), start.addSecs(i)));
            if (i % 500 == 0)
                store.commit();
        }
        store.endRun(run, QDateTime::currentDateTime());
        store.commit();
        const double ms = Millis(clock);
        std::printf("history: %d rows recorded in %.0f ms, %.0f rows per second (each looks up "
                    "its domain's previous counts first)\n",
                    rows, ms, rows / ms * 1000);
    }
    {
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("size"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("size"));
    std::printf("history file: %lld bytes for %d rows, %.0f bytes per row\n",
                QFileInfo(path).size(), rows + records,
                double(QFileInfo(path).size()) / (rows + records));

    HistoryStore store(path);
    store.openToRead();
    QElapsedTimer clock;
    clock.start();
    {
        auto *window = new HistoryWindow(QStringLiteral("popular.com"),
                                         store.domainRows(QStringLiteral("popular.com")));
        window->show();
        QCoreApplication::processEvents(); // painted once
        std::printf("查看历史… for a domain with %d records: %.1f ms to read, draw and show\n",
                    records, Millis(clock));
        delete window;
    }
    ResultsModel results;
    QTableView view;
    view.setModel(&results);
    view.show();
    clock.restart();
    const QList<HistoryRow> last = store.lastRun().rows;
    QList<ResultsModel::KeptRow> kept;
    kept.reserve(last.size());
    for (const HistoryRow &row : last)
        kept.append({ row.number, row.domain, row.counts, row.failure });
    results.replaceRows(kept);
    QCoreApplication::processEvents();
    std::printf("打开上次的结果 of %lld rows: %.0f ms to read and show\n",
                qint64(results.rowCount()), Millis(clock));
}

void BenchResume(int entries)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    const QDateTime start = QDateTime::currentDateTime();
    QStringList list;
    for (int i = 1; i <= entries; ++i)
        list << QStringLiteral("d%1.com").arg(i);
    {
        HistoryStore store(path);
        store.open();
        const qint64 run
            = store.beginRun(QStringLiteral("run"),
                             QStringLiteral("http://stats.example.com/siteall/"), start, list);
        // Cut short before its last entry.
        for (int i = 1; i < entries; ++i)
            store.record(run, RowOf(i, list.at(i - 1), start.addSecs(i)));
        store.reach(run, entries - 2);
        store.commit();
    }
    FakePlatform fake;
    AppSettings settings = AppSettings::onHost(QStringLiteral("http://127.0.0.1:9"));
    settings.historyFile = path;
    Form1 form(settings, fake.platform);
    form.findChild<QPushButton *>(QStringLiteral("Command2"))->setEnabled(true); // check passed
    form.show();
    QCoreApplication::processEvents();
    const double rssBefore = PeakRssMiB();
    QElapsedTimer clock;
    clock.start();
    form.findChild<QAction *>(QStringLiteral("openLastResults"))->trigger();
    QCoreApplication::processEvents(); // the list and the table painted
    const double ms = Millis(clock);
    const bool resumable = form.findChild<QAction *>(QStringLiteral("continueRun"))->isEnabled();
    std::printf("打开上次的结果 of an unfinished run of %d entries (%d rows): %.0f ms to a usable "
                "window%s; peak RSS +%.1f MiB\n",
                entries, entries - 1, ms, resumable ? ", 继续查询 ready" : " (NOT resumable)",
                PeakRssMiB() - rssBefore);
}

void BenchCompare(int domains)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    {
        HistoryStore store(path);
        store.open();
        for (int week = 0; week < 2; ++week) {
            const QDateTime when = QDateTime::currentDateTime().addDays(week * 7 - 7);
            const qint64 run = store.beginRun(QStringLiteral("run"), QStringLiteral("s"), when);
            for (int i = 1; i <= domains; ++i)
                store.record(run, RowOf(i + week, QStringLiteral("d%1.com").arg(i), when));
            store.commit();
        }
    }
    FakePlatform fake;
    AppSettings settings = AppSettings::onHost(QStringLiteral("http://127.0.0.1:9"));
    settings.historyFile = path;
    Form1 form(settings, fake.platform);
    form.show();
    QCoreApplication::processEvents();
    fake.onOpen = [](QDialog &dialog) {
        dialog.findChild<QPushButton *>(QStringLiteral("compareRuns"))->click();
    };
    const double rssBefore = PeakRssMiB();
    QElapsedTimer clock;
    clock.start();
    form.findChild<QAction *>(QStringLiteral("listRuns"))->trigger();
    QCoreApplication::processEvents(); // the comparison window shown and painted
    const auto *window = form.findChild<QWidget *>(QStringLiteral("ComparisonWindow"));
    std::printf("比较 two runs of %d domains, from 历史查询…: %.0f ms to a shown table%s; peak RSS "
                "+%.1f MiB\n",
                domains, Millis(clock), window && window->isVisible() ? "" : " (NOT shown)",
                PeakRssMiB() - rssBefore);
}
