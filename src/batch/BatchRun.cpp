#include "BatchRun.h"

#include "BatchComparison.h"
#include "BatchMessages.h"
#include "BatchOutput.h"
#include "BatchResume.h"
#include "BatchSignals.h"
#include "DomainEntries.h"
#include "DomainFile.h"
#include "DomainPage.h"
#include "HistoryRecorder.h"
#include "HttpGetText.h"
#include "LoopbackService.h"
#include "PageCuts.h"
#include "ResultsExport.h"
#include "ResultsModel.h"
#include "ResultsWorkbook.h"
#include "SuffixMarkers.h"
#include "UpdateCheck.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSet>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sleeps with the event loop running until `until` (ns on `clock`) or a signal comes.
void WaitUntil(const QElapsedTimer &clock, qint64 until, const BatchSignals &interrupts)
{
    QEventLoop loop;
    QObject::connect(&interrupts, &BatchSignals::arrived, &loop, &QEventLoop::quit);
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    while (!interrupts.received() && clock.nsecsElapsed() < until) {
        timer.start(int((until - clock.nsecsElapsed() + 999'999) / 1'000'000));
        loop.exec();
    }
}

QString Duration(qint64 seconds)
{
    return seconds >= 3600
        ? QStringLiteral("%1小时%2分").arg(seconds / 3600).arg(seconds % 3600 / 60)
        : QStringLiteral("%1分%2秒").arg(seconds / 60).arg(seconds % 60);
}

// The earlier rows of the output file, when resuming: an unfinished last row (a crash, a full
// disk) is cut off; anything else that is not ours is refused with the file untouched.
std::optional<QString> ReadEarlierOutput(BatchOutput &output, const QString &path,
                                         const QString &option, EarlierRows &earlier,
                                         BatchMessages &messages)
{
    QFile file;
    if (!file.open(::dup(output.fd()), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return QStringLiteral("%1: 无法读取%2").arg(option, path);
    file.seek(0);
    earlier = ReadEarlierRows(file);
    if (!earlier.problem.isEmpty())
        return QStringLiteral("%1: %2 %3").arg(option, path, earlier.problem);
    if (earlier.unfinished) {
        // With no whole row left, the file starts again from its header.
        const qint64 keep
            = earlier.wholeBytes <= qint64(sizeof kCsvStart) - 1 ? 0 : earlier.wholeBytes;
        if (!output.cutBackTo(keep))
            return QStringLiteral("%1: 无法修复%2").arg(option, path);
        messages.say(QStringLiteral("%1: %2 的最后一行不完整（上次运行中断），已删去这一行。")
                         .arg(option, path));
    }
    return std::nullopt;
}

// Compared by device and inode, so that a link to either is caught too.
bool HistoryIsListOrOutput(const AppSettings &settings, const struct stat &list,
                           const BatchOutput &output)
{
    struct stat kept
    {
    };
    struct stat written
    {
    };
    if (settings.historyFile.isEmpty()
        || ::stat(QFile::encodeName(settings.historyFile).constData(), &kept) != 0)
        return false;
    const auto same = [&kept](const struct stat &other) {
        return kept.st_dev == other.st_dev && kept.st_ino == other.st_ino;
    };
    return same(list) || (output.isFile() && ::fstat(output.fd(), &written) == 0 && same(written));
}

} // namespace

int RunBatch(const BatchOptions &options, const AppSettings &settings, FILE *csvOut,
             FILE *messageOut, platform::LoopbackService *sample)
{
    BatchMessages messages(messageOut);
    BatchSignals interrupts;
    FetchCancel cancel;
    QObject::connect(&interrupts, &BatchSignals::arrived, &cancel, &FetchCancel::cancel);

    if (!options.serviceProblem.isEmpty())
        messages.say(options.serviceProblem);
    if (settings.sampleData)
        messages.say(
            QStringLiteral("未指定网站统计服务：使用程序自带的示例服务，收录数量为示例数据。"));

    if (settings.updateUrl.isEmpty()) { // nothing to ask: no update server named, none started
        messages.say(
            QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版（没有可用的更新服务器）"));
        return kBatchUpdateCheck;
    }
    if (sample)
        sample->setEndedHandler([&messages] {
            messages.say(QStringLiteral("示例服务已停止运行，之后的查询都不会有结果。"));
        });
    // The messages go with this run: the service is told to stop telling them.
    const std::unique_ptr<platform::LoopbackService, void (*)(platform::LoopbackService *)> unwatch(
        sample, [](platform::LoopbackService *watched) { watched->setEndedHandler({}); });

    // The same gate as the window's: only the current version goes on.
    const FetchResult reply = HttpGetText(settings.updateUrl, settings.updateLimits, &cancel);
    if (interrupts.received()) { // an interrupt is an interrupt, whatever step it falls in
        messages.say(QStringLiteral("已中断：检测更新时中断，没有查询任何域名。"));
        return 128 + interrupts.received();
    }
    const QString version = VersionFromReply(reply.text);
    if (version.isEmpty()) {
        messages.say(QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版")
                     + (reply.failed()
                            ? QStringLiteral("（连接更新服务器出错：%1）").arg(reply.error)
                            : QString()));
        return kBatchUpdateCheck;
    }
    if (version != kCurrentVersion) {
        messages.say(QStringLiteral("发现最新版本：%1，请先更新程序。").arg(version));
        return kBatchUpdateCheck;
    }

    QFile listFile;
    struct stat list
    {
    };
    if (!OpenDomainFile(options.list, listFile) || ::fstat(listFile.handle(), &list) != 0) {
        messages.say(QStringLiteral("无法读取文件：%1").arg(options.list));
        return kBatchFileUnusable;
    }
    const DomainFileLines read = ReadDomainLines(listFile, kMaxListEntries);
    listFile.close();
    if (read.readFailed)
        messages.say(
            QStringLiteral("读取文件时出错，只导入了出错之前读到的%1行。").arg(read.lines.size()));
    if (const QString leftOut = LeftOutMessage(read, QStringLiteral("文件")); !leftOut.isEmpty())
        messages.say(QString(leftOut).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
    const QStringList domains = CleanDomainEntries(read.lines);

    // An Excel workbook cannot take rows one by one: it is written once, at the end.
    const bool workbook = options.output.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
    if (workbook && options.resume) {
        messages.say(QStringLiteral(
            "--resume 不能用于 .xlsx 文件：工作簿只能在结束时一次写出。请用 CSV 文件。"));
        return kBatchUsage;
    }
    ResultsSheet sheet { settings.sampleData ? QStringLiteral("收录查询结果（示例数据）")
                                             : QStringLiteral("收录查询结果"),
                         { ResultsModel::header() },
                         ResultsModel::numberColumns(),
                         QStringList() };
    BatchOutput output(csvOut);
    if (workbook) {
        if (const auto refused = output.reserveWorkbook(options.output, list.st_dev, list.st_ino)) {
            messages.say(refused->line);
            return refused->status;
        }
    }
    EarlierRows earlier;
    if (!options.output.isEmpty() && !workbook) {
        if (const auto refused = output.openFile(options.output, list.st_dev, list.st_ino)) {
            messages.say(refused->line);
            return refused->status;
        }
        // Every append starts where a whole row ends: a row a crash cut short is taken off
        // first, and a file that is not such a CSV is left as it is.
        const QString option
            = options.resume ? QStringLiteral("--resume") : QStringLiteral("--output");
        if (const auto problem
            = ReadEarlierOutput(output, options.output, option, earlier, messages)) {
            messages.say(*problem);
            return kBatchUsage;
        }
        if (!options.resume)
            earlier = {}; // a plain run asks every domain and numbers from 1
    }
    if (HistoryIsListOrOutput(settings, list, output)) {
        messages.say(QStringLiteral("--history-file 不能是域名列表或输出文件：%1")
                         .arg(settings.historyFile));
        return kBatchUsage;
    }
    auto writeOrSay = [&](const QByteArray &bytes) {
        const int error = output.append(bytes);
        if (error)
            messages.say(
                QStringLiteral("无法写入%1：%2已停止查询。")
                    .arg(options.output.isEmpty() ? QStringLiteral("标准输出") : options.output,
                         output.failureReason(error)));
        return error == 0;
    };
    if (!workbook && (!output.isFile() || output.size() == 0)
        && !writeOrSay(kCsvStart + CsvLine(ResultsModel::header())))
        return kBatchFileUnusable;

    // Every row is kept in the history too, as in the window; sample counts never are.
    std::unique_ptr<HistoryRecorder> history;
    if (!settings.historyFile.isEmpty() && !settings.sampleData) {
        history = std::make_unique<HistoryRecorder>(settings.historyFile, settings.statsBase);
        QObject::connect(history.get(), &HistoryRecorder::stopped, [&](const QString &reason) {
            messages.say(QStringLiteral("无法使用历史记录文件%1：%2%3")
                             .arg(settings.historyFile, reason,
                                  history->refusedFile() ? QStringLiteral("已停止。")
                                                         : QStringLiteral("本次运行不记录历史。")));
        });
        QObject::connect(history.get(), &HistoryRecorder::movedAside, [&](const QString &movedTo) {
            messages.say(
                QStringLiteral("历史记录文件已损坏，已改名保存为%1，新的历史记录从现在开始。")
                    .arg(movedTo));
        });
        QObject::connect(history.get(), &HistoryRecorder::waiting,
                         [&](int rows, const QString &reason) {
                             messages.say(QStringLiteral("暂时无法写入历史记录文件%1：%2%3行结果"
                                                         "先留在内存中，稍后自动写入。")
                                              .arg(settings.historyFile, reason)
                                              .arg(rows));
                         });
        QObject::connect(history.get(), &HistoryRecorder::caughtUp, [&](int rows) {
            messages.say(QStringLiteral("历史记录文件又可以写入了：留在内存中的%1行结果已经写入。")
                             .arg(rows));
        });
        // A file that is not ours is refused before the first query, and left as it is.
        history->flush();
        QCoreApplication::sendPostedEvents(history.get());
        if (history->refusedFile())
            return kBatchFileUnusable;
        history->beginRun(QStringLiteral("batch"));
    }

    int todo = 0;
    for (const QString &domain : domains)
        todo += earlier.counted.contains(domain) ? 0 : 1;
    if (options.resume && !workbook)
        messages.say(QStringLiteral("--resume: %1 中已有列表里%2个域名的结果，这次不再查询。")
                         .arg(options.output)
                         .arg(domains.size() - todo));
    int done = 0, withCounts = 0, failed = 0, skipped = 0;
    qint64 number = earlier.lastNumber;
    QElapsedTimer pace;
    qint64 slot = 0; // when the current step was due, in ns since the first
    bool first = true;
    bool writeFailed = false;
    for (const QString &domain : domains) {
        if (interrupts.received() || writeFailed)
            break;
        if (earlier.counted.contains(domain))
            continue;
        if (!HasAcceptedSuffix(domain)) {
            ++done;
            ++skipped;
            messages.say(QStringLiteral("跳过：%1（域名不正确）").arg(domain));
            continue;
        }
        // Steps keep to a fixed schedule, so small delays do not add up; a service slower than
        // the pace moves the schedule on instead of bunching later queries together.
        if (first) {
            pace.start();
            first = false;
        } else {
            slot = std::max(slot + qint64(options.paceMs) * 1'000'000, pace.nsecsElapsed() - 1);
            WaitUntil(pace, slot, interrupts);
        }
        if (interrupts.received())
            break;
        const DomainPage page
            = FetchDomainPage(settings.statsBase, domain, settings.fetchLimits, &cancel);
        if (interrupts.received())
            break; // no row: a resume asks this domain again
        const std::optional<PageCounts> &counts = page.counts;
        ++done;
        QStringList row { QString::number(++number), domain };
        for (int k = 0; k < 4; ++k)
            row << (counts ? (*counts)[k] : QString());
        if (workbook) {
            sheet.lines << row;
            *sheet.failures << (counts ? QString() : page.failure);
        } else if (!writeOrSay(CsvLine(row))) {
            writeFailed = true;
            --number;
            --done;
            break;
        }
        (counts ? withCounts : failed) += 1;
        if (history)
            history->record({ int(number), domain, counts.value_or(PageCounts {}),
                              counts ? QString() : page.failure, QDateTime::currentDateTime() });
        if (messages.terminal()) {
            if (!counts)
                messages.say(
                    QStringLiteral("%1 %2 失败（%3）").arg(row.at(0), domain, page.failure));
            const qint64 left = qint64(todo - done) * options.paceMs / 1000;
            messages.redraw(QStringLiteral("已查询 %1/%2，失败 %3，剩余约 %4")
                                .arg(done)
                                .arg(todo)
                                .arg(failed)
                                .arg(Duration(left)));
        } else {
            messages.say(QStringList { row.at(0), domain,
                                       counts ? row.mid(2).join(u' ')
                                              : QStringLiteral("失败（%1）").arg(page.failure) }
                             .join(u' '));
        }
    }
    if (history) {
        const int lost = history->finish();
        QCoreApplication::sendPostedEvents(history.get()); // its last word, if any
        if (lost > 0)
            messages.say(QStringLiteral("有%1行结果未能写入历史记录文件%2。")
                             .arg(lost)
                             .arg(settings.historyFile));
    }
    messages.endRedrawing();
    QString summary = QStringLiteral("共查询%1个域名：有结果%2个，失败%3个，跳过%4个")
                          .arg(withCounts + failed)
                          .arg(withCounts)
                          .arg(failed)
                          .arg(skipped);
    if (interrupts.received() || writeFailed)
        summary
            += QStringLiteral("；%1，还有%2个域名未查询")
                   .arg(writeFailed ? QStringLiteral("因无法写入而停止") : QStringLiteral("已中断"))
                   .arg(todo - done);
    messages.say(summary);
    if (workbook) {
        if (const QString reason
            = WriteResultsWorkbook(options.output, sheet, output.partialWorkbook());
            !reason.isEmpty()) {
            messages.say(QStringLiteral("无法写入%1：%2").arg(options.output, reason));
            return kBatchFileUnusable;
        }
    }
    if (writeFailed)
        return kBatchFileUnusable;
    if (!options.compareLast.isEmpty() && !interrupts.received()) {
        // Only a run that is in the history is compared: never two earlier ones in its place.
        const QString why = !history || !history->working()
            ? QStringLiteral("没有可用的历史记录（示例数据、--no-history或历史记录文件无法使用）")
            : withCounts + failed == 0
            ? QStringLiteral("本次没有查询结果")
            : WriteLastComparison(settings.historyFile, options.compareLast);
        if (!why.isEmpty()) {
            messages.say(QStringLiteral("无法写入比较%1：%2").arg(options.compareLast, why));
            return kBatchFileUnusable;
        }
    }
    if (interrupts.received())
        return 128 + interrupts.received();
    return failed > 0 ? kBatchSomeFailed : kBatchAllCounted;
}
