// Prints the program's performance figures. Run it from a Release build: bench/run.
#include "BenchUtil.h"
#include "FakePlatform.h"
#include "Form1.h"
#include "HttpGetText.h"
#include "ListBox.h"
#include "PageCuts.h"
#include "ScriptedHttpServer.h"
#include "SitePages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

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

// A run over 20 entries in which every third page answers only after one and a half steps:
// the steps must keep their pace, so the run takes (entries - 1) steps and no more.
void BenchPaceUnderSlowPages(int intervalMs)
{
    const int entries = 20;
    ScriptedHttpServer server;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("domains.txt"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < entries; ++i) {
            const QByteArray domain = "d" + QByteArray::number(i) + ".com";
            file.write(domain + "\n");
            ScriptedHttpServer::Reply reply;
            reply.body = standin::StatisticsPage(QString::fromUtf8(domain), { "1", "2", "3", "4" });
            reply.delayMs = i % 3 == 2 ? intervalMs * 3 / 2 : 0;
            server.setReply("/siteall/" + domain, reply);
        }
    }
    FakePlatform fake;
    Form1 form(AppSettings::onHost(server.base()), fake.platform);
    form.show();
    fake.fileAnswers << path;
    form.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    auto *start = form.findChild<QPushButton *>(QStringLiteral("Command2"));
    auto *table = form.findChild<QTreeWidget *>(QStringLiteral("ListView1"));
    start->setEnabled(true);

    QElapsedTimer wall;
    wall.start();
    start->click();
    form.findChild<QTimer *>(QStringLiteral("Timer1"))->setInterval(intervalMs);
    while (table->topLevelItemCount() < entries || start->text() != QStringLiteral("批量查询"))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double ms = wall.nsecsElapsed() / 1e6;
    const double ideal = (entries - 1) * intervalMs;
    std::printf("run of %d entries, %d ms steps, every third page 1.5 steps late: %.0f ms, "
                "ideal %.0f ms, ratio %.3f\n",
                entries, intervalMs, ms, ideal, ms / ideal);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchPageCuts();
    BenchImport(32767);
    BenchImport(100000);
    BenchImportOneLine(256);
    BenchPaceUnderSlowPages(100);
    BenchPaceUnderSlowPages(500);
    StandIn standin({ QStringLiteral("--slow-ms"), QStringLiteral("3000") });
    if (!standin.started()) {
        std::printf("the stand-in service did not start\n");
        return 1;
    }
    BenchRoundTrip(standin);
    BenchSlowWait(standin);
    return 0;
}
