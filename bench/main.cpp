// Prints the program's performance figures. Run it from a Release build: bench/run.
#include "BatchRun.h"
#include "BenchHistory.h"
#include "BenchLists.h"
#include "BenchServices.h"
#include "BenchUtil.h"
#include "FakePlatform.h"
#include "Form1.h"
#include "HttpGetText.h"
#include "ListBox.h"
#include "PageCuts.h"
#include "ResultsModel.h"
#include "ResultsWorkbook.h"
#include "ScriptedHttpServer.h"
#include "SitePages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

void BenchPageCuts()
{
    // 2 MiB of ordinary markup with the counts row near the end: the worst place for it.
    const QString filler
        = QStringLiteral("<tr><td class=\"t\">别的数据</td><td><a href=\"#\">1</a></td></tr>\n");
    QString page = QStringLiteral("<html><body><table>\n");
    while (page.size() * 2 < 2 * 1024 * 1024)
        page += filler;
    page += QStringLiteral("<tr><td>收录数量</td><td><a>12,300</a></td><td><a>8</a></td>"
                           "<td><a></a></td><td><a>35</a></td></tr></table></body></html>");
    PageCounts counts;
    const double micros = MedianMicros(50, [&] { counts = CutCounts(CutResultsRow(page)); });
    std::printf("page cuts, 2 MiB page:            %8.2f ms per page (counts %s)\n",
                micros / 1000.0, qPrintable(QStringList(counts.begin(), counts.end()).join(u'/')));
}

void BenchRoundTrip(const StandIn &standin)
{
    const QString url = standin.base() + QStringLiteral("/siteall/example.com");
    const int runs = 200;
    HttpGetText(url); // warm up
    const double ours = MedianMicros(runs, [&] { HttpGetText(url); });

    QList<double> curlTimes;
    for (int i = 0; i < runs; ++i) {
        QProcess curl;
        curl.start(QStringLiteral("curl"),
                   { QStringLiteral("-s"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                     QStringLiteral("-H"), QStringLiteral("If-Modified-Since: 0"),
                     QStringLiteral("-w"), QStringLiteral("%{time_total}"), url });
        curl.waitForFinished(10000);
        curlTimes << curl.readAllStandardOutput().toDouble() * 1e6;
    }
    const double theirs = Median(curlTimes);
    std::printf(
        "HttpGetText round trip:           %8.3f ms median of %d; curl %.3f ms; ratio %.2f\n",
        ours / 1000.0, runs, theirs / 1000.0, theirs > 0 ? ours / theirs : 0.0);
}

void BenchSlowWait(const StandIn &standin)
{
    const QString url = standin.base() + QStringLiteral("/siteall/slow.example.com");
    const double cpuBefore = ProcessCpuMillis();
    QElapsedTimer wall;
    wall.start();
    const FetchResult result = HttpGetText(url);
    const double wallMs = wall.elapsed();
    const double cpuMs = ProcessCpuMillis() - cpuBefore;
    std::printf(
        "waiting on a slow server:         %8.1f ms CPU over %.0f ms wall (%.2f%% of a core)%s\n",
        cpuMs, wallMs, 100.0 * cpuMs / wallMs, result.failed() ? " FAILED" : "");
}

// Imports the file at `path` through the window and prints what it cost.
void BenchImportFile(const QString &path, const char *what)
{
    FakePlatform fake;
    AppSettings settings = AppSettings::onHost(QStringLiteral("http://127.0.0.1:9"));
    Form1 form(settings, fake.platform);
    form.show();
    QCoreApplication::processEvents();
    const double rssBefore = PeakRssMiB();
    fake.fileAnswers << path;
    QElapsedTimer timer;
    timer.start();
    form.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QCoreApplication::processEvents(); // let the list lay itself out and paint
    const double ms = timer.nsecsElapsed() / 1e6;
    const int entries = form.findChild<platform::ListBox *>(QStringLiteral("List1"))->count();
    std::printf("import of %-30s %8.1f ms, %d entries, peak RSS %.1f MiB (+%.1f)\n", what, ms,
                entries, PeakRssMiB(), PeakRssMiB() - rssBefore);
}

void BenchImport(int lines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("domains.txt"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < lines; ++i)
            file.write("http://www.domain" + QByteArray::number(i) + ".example.com\r\n");
    }
    BenchImportFile(path, qPrintable(QStringLiteral("a %1-line file:").arg(lines)));
}

// A file that is one enormous line: counted as no domain, read as a stream.
void BenchImportOneLine(int mebibytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("one-line.txt"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        const QByteArray block(1024 * 1024, 'x');
        for (int i = 0; i < mebibytes; ++i)
            file.write(block);
    }
    BenchImportFile(path,
                    qPrintable(QStringLiteral("%1 MiB without a line break:").arg(mebibytes)));
}

// A window with a list of `entries` domains d0.com, d1.com ... imported, each served by a
// loopback server as `shape` makes its reply, ready to run.
class RunBench
{
public:
    RunBench(int entries, const std::function<void(int, ScriptedHttpServer::Reply &)> &shape,
             int timeLimitMs = net::HttpRequest::kTimeLimitMs, bool history = false)
        : m_entries(entries)
    {
        const QString path = m_dir.filePath(QStringLiteral("domains.txt"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < entries; ++i) {
            const QByteArray domain = "d" + QByteArray::number(i) + ".com";
            file.write(domain + "\n");
            ScriptedHttpServer::Reply reply;
            reply.body = standin::StatisticsPage(QString::fromUtf8(domain), { "1", "2", "3", "4" });
            shape(i, reply);
            m_server.setReply("/siteall/" + domain, reply);
        }
        file.close();
        AppSettings settings = AppSettings::onHost(m_server.base());
        settings.fetchLimits.timeLimitMs = timeLimitMs;
        if (history)
            settings.historyFile = m_dir.filePath(QStringLiteral("history.sqlite"));
        form = std::make_unique<Form1>(settings, m_fake.platform);
        form->show();
        m_fake.fileAnswers << path;
        form->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    }

    // Runs the list at `stepMs` per step until every row is in; returns the wall time in ms.
    double run(int stepMs)
    {
        auto *start = form->findChild<QPushButton *>(QStringLiteral("Command2"));
        const QAbstractItemModel *table
            = form->findChild<QTableView *>(QStringLiteral("ListView1"))->model();
        start->setEnabled(true);
        QElapsedTimer wall;
        wall.start();
        start->click();
        form->findChild<QTimer *>(QStringLiteral("Timer1"))->setInterval(stepMs);
        while (table->rowCount() < m_entries || start->text() != QStringLiteral("批量查询"))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        rows = table->rowCount();
        return wall.nsecsElapsed() / 1e6;
    }

    std::unique_ptr<Form1> form;
    int rows = 0;

private:
    int m_entries;
    QTemporaryDir m_dir;
    ScriptedHttpServer m_server;
    FakePlatform m_fake;
};

// A run over 20 entries in which every third page answers only after one and a half steps:
// the steps must keep their pace, so the run takes (entries - 1) steps and no more.
void BenchPaceUnderSlowPages(int intervalMs)
{
    const int entries = 20;
    RunBench bench(entries, [&](int i, ScriptedHttpServer::Reply &reply) {
        reply.delayMs = i % 3 == 2 ? intervalMs * 3 / 2 : 0;
    });
    const double ms = bench.run(intervalMs);
    const double ideal = (entries - 1) * intervalMs;
    std::printf("run of %d entries, %d ms steps, every third page 1.5 steps late: %.0f ms, "
                "ideal %.0f ms, ratio %.3f\n",
                entries, intervalMs, ms, ideal, ms / ideal);
}

char *g_stackBase = nullptr; // an address near the bottom of the main thread's stack

// A long run against a service slower than the step: pages answer after `pageDelayMs`, or never
// (negative; the transport then gives up after `timeLimitMs`). It must complete with a row per
// entry while the waits nest only as deep as allowed.
void BenchLongRun(int entries, int stepMs, int pageDelayMs, int timeLimitMs, const char *what)
{
    RunBench bench(
        entries,
        [&](int i, ScriptedHttpServer::Reply &reply) {
            reply.delayMs = std::max(pageDelayMs, 0);
            if (pageDelayMs < 0 && i > 0)
                reply.mode = ScriptedHttpServer::Mode::NoAnswer;
        },
        timeLimitMs);
    int deepest = 0;
    qptrdiff deepestStack = 0;
    QTimer probe; // fires inside the waits
    QObject::connect(&probe, &QTimer::timeout, [&] {
        char here;
        deepest = std::max(deepest, bench.form->queryState().waitingQueries);
        deepestStack = std::max(deepestStack, qptrdiff(g_stackBase - &here));
    });
    probe.start(1);
    const double rssBefore = PeakRssMiB();
    const double ms = bench.run(stepMs);
    const double ideal = double(entries - 1) * stepMs;
    std::printf("long run, %s: %d of %d rows in %.1f s (ideal %.1f s, ratio %.2f); deepest %d "
                "waits, %.0f KiB of stack; peak RSS %.1f MiB (+%.1f)\n",
                what, bench.rows, entries, ms / 1000, ideal / 1000, ms / ideal, deepest,
                deepestStack / 1024.0, PeakRssMiB(), PeakRssMiB() - rssBefore);
}

// A batch run over `entries` domains at a short step set through the batch runner's code, against
// a loopback server: wall time against the ideal, and peak memory.
void BenchBatch(int entries, int stepMs)
{
    ScriptedHttpServer server;
    QTemporaryDir dir;
    QFile list(dir.filePath(QStringLiteral("list.txt")));
    list.open(QIODevice::WriteOnly);
    for (int i = 0; i < entries; ++i) {
        const QByteArray domain = "d" + QByteArray::number(i) + ".com";
        list.write(domain + "\n");
        server.setReply(
            "/siteall/" + domain,
            { 200, standin::StatisticsPage(QString::fromUtf8(domain), { "1", "2", "3", "4" }) });
    }
    list.close();
    server.setReply("/version/main.txt", { 200, "kwtp:V1.0|" });
    BatchOptions options;
    options.list = list.fileName();
    options.paceMs = stepMs;
    options.output = dir.filePath(QStringLiteral("out.csv"));
    FILE *quiet = std::fopen("/dev/null", "w");
    const double rssBefore = PeakRssMiB();
    QElapsedTimer wall;
    wall.start();
    const int status = RunBatch(options, AppSettings::onHost(server.base()), quiet, quiet);
    const double ms = wall.nsecsElapsed() / 1e6;
    std::fclose(quiet);
    const double ideal = double(entries - 1) * stepMs;
    std::printf("batch run of %d entries at %d ms steps: %.1f s (ideal %.1f s, ratio %.2f), "
                "status %d; peak RSS %.1f MiB (+%.1f)\n",
                entries, stepMs, ms / 1000, ideal / 1000, ms / ideal, status, PeakRssMiB(),
                PeakRssMiB() - rssBefore);
}

// Resident memory of this process now, in MiB.
double CurrentRssMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * 4096 / (1024 * 1024);
}

// A run over the full list at a short step against a loopback server: the memory each row
// costs, and the CPU each step costs early and late in the run (it must stay flat).
void BenchScale(int entries, int stepMs, bool sortedByCount, bool history = false)
{
    RunBench bench(
        entries, [](int, ScriptedHttpServer::Reply &) {}, net::HttpRequest::kTimeLimitMs, history);
    QTableView *view = bench.form->findChild<QTableView *>(QStringLiteral("ListView1"));
    if (sortedByCount) // as after a click on 百度: every new row takes its sorted place
        view->sortByColumn(2, Qt::DescendingOrder);
    const QAbstractItemModel *table = view->model();
    const int window = 1000;
    QList<double> cpuAt; // CPU ms when rows 1, window, entries - window, entries were in
    QObject::connect(table, &QAbstractItemModel::rowsInserted, [&] {
        const int rows = table->rowCount();
        if (rows == 1 || rows == window || rows == entries - window || rows == entries)
            cpuAt << ProcessCpuMillis();
    });
    QCoreApplication::processEvents();
    const double rssBefore = CurrentRssMiB();
    const double ms = bench.run(stepMs);
    const double rssAfter = CurrentRssMiB();
    const double perRowKiB = (rssAfter - rssBefore) * 1024 / entries;
    const double early = cpuAt.size() == 4 ? (cpuAt[1] - cpuAt[0]) / (window - 1) : 0;
    const double late = cpuAt.size() == 4 ? (cpuAt[3] - cpuAt[2]) / window : 0;
    std::printf("run over %d entries at %d ms steps%s: %.1f s; RSS %.1f -> %.1f MiB, %.2f KiB "
                "per row; CPU per step %.2f ms over the first %d rows, %.2f ms over the last %d\n",
                entries, stepMs,
                sortedByCount ? ", sorted by a count"
                    : history ? ", every row kept in the history"
                              : "",
                ms / 1000, rssBefore, rssAfter, perRowKiB, early, window, late, window);
}

// `longCells`: every text cell that many characters long, as a hostile page could make them.
void BenchWorkbook(int rows, int longCells = 0)
{
    ResultsSheet sheet { QStringLiteral("收录查询结果"),
                         { ResultsModel::header() },
                         ResultsModel::numberColumns(),
                         QStringList() };
    for (int row = 1; row <= rows; ++row) {
        sheet.lines << QStringList { QString::number(row),
                                     QStringLiteral("d%1.com").arg(row),
                                     QStringLiteral("12,%1").arg(row % 1000, 3, 10, QChar(u'0')),
                                     QStringLiteral("1.2万"),
                                     QStringLiteral("约100"),
                                     row % 10 ? QStringLiteral("35") : QString() };
        *sheet.failures << (row % 10 ? QString() : QStringLiteral("HTTP 404"));
        if (longCells > 0)
            for (int column = 1; column < 6; ++column)
                sheet.lines.last()[column] = QString(longCells, QChar(u'a' + column));
    }
    qint64 own = 0; // the rows' own size, in bytes
    for (const QStringList &line : std::as_const(sheet.lines))
        for (const QString &cell : line)
            own += cell.size() * 2;
    QTemporaryDir dir;
    const double rssBefore = PeakRssMiB();
    QElapsedTimer clock;
    clock.start();
    const QString failed = WriteResultsWorkbook(dir.filePath(QStringLiteral("r.xlsx")), sheet);
    const double ms = clock.nsecsElapsed() / 1e6;
    std::printf(
        "Excel export of %d rows%s: %.0f ms, %lld KiB; rows %.1f MiB; peak RSS %.1f MiB "
        "(+%.1f, %.2f of the rows' size)%s\n",
        rows,
        longCells > 0 ? qPrintable(QStringLiteral(" of %1-character cells").arg(longCells)) : "",
        ms, QFileInfo(dir.filePath(QStringLiteral("r.xlsx"))).size() / 1024, own / 1048576.0,
        PeakRssMiB(), PeakRssMiB() - rssBefore,
        (PeakRssMiB() - rssBefore) * 1048576.0 / double(own), failed.isEmpty() ? "" : " FAILED");
}

} // namespace

// `varnel-bench [NAME...]` runs the named benchmarks only (cuts, import, services, pace,
// batch, scale, long, network, xlsx, history); with no name, all of them.
int main(int argc, char *argv[])
{
    char base;
    g_stackBase = &base;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList only = app.arguments().mid(1);
    auto wanted
        = [&](const char *name) { return only.isEmpty() || only.contains(QLatin1String(name)); };
    if (wanted("cuts"))
        BenchPageCuts();
    if (wanted("import")) {
        BenchImport(32767);
        BenchImport(100000);
        BenchImportOneLine(256);
        BenchTidy(32767);
    }
    if (wanted("services"))
        BenchApplyServices();
    if (wanted("pace")) {
        BenchPaceUnderSlowPages(100);
        BenchPaceUnderSlowPages(500);
    }
    if (wanted("batch"))
        BenchBatch(1000, 10);
    if (wanted("scale")) {
        BenchScale(32767, 2, false);
        BenchScale(32767, 2, true);
    }
    if (wanted("history")) {
        BenchHistory(32767, 1000);
        BenchResume(32767);
        BenchScale(32767, 2, false, true);
    }
    if (wanted("history") || wanted("compare"))
        BenchCompare(32767);
    if (wanted("xlsx")) {
        BenchWorkbook(32767);
        BenchWorkbook(32767, 1000);
    }
    if (wanted("long")) {
        BenchLongRun(3000, 10, 15, net::HttpRequest::kTimeLimitMs,
                     "3,000 entries, 10 ms steps, every page after 1.5 steps");
        BenchLongRun(3000, 10, -1, 200,
                     "3,000 entries, 10 ms steps, pages never answer (200 ms limit)");
    }
    if (!wanted("network"))
        return 0;
    StandIn standin({ QStringLiteral("--slow-ms"), QStringLiteral("3000") });
    if (!standin.started()) {
        std::printf("the stand-in service did not start\n");
        return 1;
    }
    BenchRoundTrip(standin);
    BenchSlowWait(standin);
    return 0;
}
