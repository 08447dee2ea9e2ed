#include "BatchRunner.h"

#include "BatchComparison.h"
#include "DomainEntries.h"
#include "DomainFile.h"
#include "HistoryRecorder.h"
#include "HttpGetText.h"
#include "LoopbackService.h"
#include "PageCuts.h"
#include "ResultsExport.h"
#include "ResultsModel.h"
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

BatchRunner::BatchRunner(const BatchOptions &options, const AppSettings &settings, FILE *csvOut,
                         FILE *messageOut)
    : m_options(options)
    , m_settings(settings)
    , m_messages(messageOut)
    , m_workbook(options.output.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
    , m_sheet { settings.sampleData ? QStringLiteral("收录查询结果（示例数据）")
                                    : QStringLiteral("收录查询结果"),
                { ResultsModel::header() },
                ResultsModel::numberColumns(),
                QStringList() }
    , m_output(csvOut)
{
    QObject::connect(&m_interrupts, &BatchSignals::arrived, &m_cancel, &FetchCancel::cancel);
}

BatchRunner::~BatchRunner() = default;

int BatchRunner::run(platform::LoopbackService *sample)
{
    if (!m_options.serviceProblem.isEmpty())
        m_messages.say(m_options.serviceProblem);
    if (m_settings.sampleData)
        m_messages.say(
            QStringLiteral("未指定网站统计服务：使用程序自带的示例服务，收录数量为示例数据。"));
    if (sample)
        sample->setEndedHandler([this] {
            m_messages.say(QStringLiteral("示例服务已停止运行，之后的查询都不会有结果。"));
        });
    // The messages go with this run: the service is told to stop telling them.
    const std::unique_ptr<platform::LoopbackService, void (*)(platform::LoopbackService *)> unwatch(
        sample, [](platform::LoopbackService *watched) { watched->setEndedHandler({}); });
    for (Outcome (BatchRunner::*step)() : { &BatchRunner::passGate, &BatchRunner::readList,
                                            &BatchRunner::openOutput, &BatchRunner::openHistory }) {
        if (const Outcome ended = (this->*step)())
            return *ended;
    }
    queryAll();
    return finish();
}

// The same gate as the window's: only the current version goes on.
BatchRunner::Outcome BatchRunner::passGate()
{
    if (m_settings.updateUrl.isEmpty()) { // nothing to ask: no update server named, none started
        m_messages.say(
            QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版（没有可用的更新服务器）"));
        return kBatchUpdateCheck;
    }
    const FetchResult reply = HttpGetText(m_settings.updateUrl, m_settings.updateLimits, &m_cancel);
    if (m_interrupts.received()) { // an interrupt is an interrupt, whatever step it falls in
        m_messages.say(QStringLiteral("已中断：检测更新时中断，没有查询任何域名。"));
        return 128 + m_interrupts.received();
    }
    const QString version = VersionFromReply(reply.text);
    if (version.isEmpty()) {
        m_messages.say(QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版")
                       + (reply.failed()
                              ? QStringLiteral("（连接更新服务器出错：%1）").arg(reply.error)
                              : QString()));
        return kBatchUpdateCheck;
    }
    if (version != kCurrentVersion) {
        m_messages.say(QStringLiteral("发现最新版本：%1，请先更新程序。").arg(version));
        return kBatchUpdateCheck;
    }
    return std::nullopt;
}

BatchRunner::Outcome BatchRunner::readList()
{
    QFile listFile;
    if (!OpenDomainFile(m_options.list, listFile) || ::fstat(listFile.handle(), &m_list) != 0) {
        m_messages.say(QStringLiteral("无法读取文件：%1").arg(m_options.list));
        return kBatchFileUnusable;
    }
    const DomainFileLines read = ReadDomainLines(listFile, kMaxListEntries);
    listFile.close();
    if (read.readFailed)
        m_messages.say(
            QStringLiteral("读取文件时出错，只导入了出错之前读到的%1行。").arg(read.lines.size()));
    if (const QString leftOut = LeftOutMessage(read, QStringLiteral("文件")); !leftOut.isEmpty())
        m_messages.say(QString(leftOut).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
    m_domains = CleanDomainEntries(read.lines);
    return std::nullopt;
}

BatchRunner::Outcome BatchRunner::openOutput()
{
    if (m_workbook && m_options.resume) {
        m_messages.say(QStringLiteral(
            "--resume 不能用于 .xlsx 文件：工作簿只能在结束时一次写出。请用 CSV 文件。"));
        return kBatchUsage;
    }
    if (m_workbook) {
        if (const auto refused
            = m_output.reserveWorkbook(m_options.output, m_list.st_dev, m_list.st_ino)) {
            m_messages.say(refused->line);
            return refused->status;
        }
    }
    if (!m_options.output.isEmpty() && !m_workbook) {
        if (const auto refused
            = m_output.openFile(m_options.output, m_list.st_dev, m_list.st_ino)) {
            m_messages.say(refused->line);
            return refused->status;
        }
        // Every append starts where a whole row ends: a row a crash cut short is taken off
        // first, and a file that is not such a CSV is left as it is.
        const QString option
            = m_options.resume ? QStringLiteral("--resume") : QStringLiteral("--output");
        if (const auto problem
            = ReadEarlierOutput(m_output, m_options.output, option, m_earlier, m_messages)) {
            m_messages.say(*problem);
            return kBatchUsage;
        }
        if (!m_options.resume)
            m_earlier = {}; // a plain run asks every domain and numbers from 1
    }
    if (HistoryIsListOrOutput(m_settings, m_list, m_output)) {
        m_messages.say(QStringLiteral("--history-file 不能是域名列表或输出文件：%1")
                           .arg(m_settings.historyFile));
        return kBatchUsage;
    }
    if (!m_workbook && (!m_output.isFile() || m_output.size() == 0)
        && !writeOrSay(kCsvStart + CsvLine(ResultsModel::header())))
        return kBatchFileUnusable;
    return std::nullopt;
}

// Every row is kept in the history too, as in the window; sample counts never are.
BatchRunner::Outcome BatchRunner::openHistory()
{
    if (m_settings.historyFile.isEmpty() || m_settings.sampleData)
        return std::nullopt;
    const QString &file = m_settings.historyFile;
    m_history = std::make_unique<HistoryRecorder>(file, m_settings.statsBase);
    HistoryRecorder *history = m_history.get();
    QObject::connect(history, &HistoryRecorder::stopped, [this, history, file](const QString &why) {
        m_messages.say(QStringLiteral("无法使用历史记录文件%1：%2%3")
                           .arg(file, why,
                                history->refusedFile() ? QStringLiteral("已停止。")
                                                       : QStringLiteral("本次运行不记录历史。")));
    });
    QObject::connect(history, &HistoryRecorder::movedAside, [this](const QString &movedTo) {
        m_messages.say(
            QStringLiteral("历史记录文件已损坏，已改名保存为%1，新的历史记录从现在开始。")
                .arg(movedTo));
    });
    QObject::connect(history, &HistoryRecorder::waiting,
                     [this, file](int rows, const QString &why) {
                         m_messages.say(QStringLiteral("暂时无法写入历史记录文件%1：%2%3行结果"
                                                       "先留在内存中，稍后自动写入。")
                                            .arg(file, why)
                                            .arg(rows));
                     });
    QObject::connect(history, &HistoryRecorder::caughtUp, [this](int rows) {
        m_messages.say(
            QStringLiteral("历史记录文件又可以写入了：留在内存中的%1行结果已经写入。").arg(rows));
    });
    // A file that is not ours is refused before the first query, and left as it is.
    history->flush();
    QCoreApplication::sendPostedEvents(history);
    if (history->refusedFile())
        return kBatchFileUnusable;
    history->beginRun(QStringLiteral("batch"));
    return std::nullopt;
}

void BatchRunner::queryAll()
{
    for (const QString &domain : std::as_const(m_domains))
        m_todo += m_earlier.counted.contains(domain) ? 0 : 1;
    if (m_options.resume && !m_workbook)
        m_messages.say(QStringLiteral("--resume: %1 中已有列表里%2个域名的结果，这次不再查询。")
                           .arg(m_options.output)
                           .arg(m_domains.size() - m_todo));
    m_number = m_earlier.lastNumber;
    QElapsedTimer pace;
    qint64 slot = 0; // when the current step was due, in ns since the first
    bool first = true;
    for (const QString &domain : std::as_const(m_domains)) {
        if (m_interrupts.received() || m_writeFailed)
            break;
        if (m_earlier.counted.contains(domain))
            continue;
        if (!HasAcceptedSuffix(domain)) {
            ++m_done;
            ++m_skipped;
            m_messages.say(QStringLiteral("跳过：%1（域名不正确）").arg(domain));
            continue;
        }
        // Steps keep to a fixed schedule, so small delays do not add up; a service slower than
        // the pace moves the schedule on instead of bunching later queries together.
        if (first) {
            pace.start();
            first = false;
        } else {
            slot = std::max(slot + qint64(m_options.paceMs) * 1'000'000, pace.nsecsElapsed() - 1);
            WaitUntil(pace, slot, m_interrupts);
        }
        if (m_interrupts.received() || !queryOne(domain))
            break;
    }
}

bool BatchRunner::queryOne(const QString &domain)
{
    const DomainPage page
        = FetchDomainPage(m_settings.statsBase, domain, m_settings.fetchLimits, &m_cancel);
    if (m_interrupts.received())
        return false; // no row: a resume asks this domain again
    const std::optional<PageCounts> &counts = page.counts;
    ++m_done;
    QStringList row { QString::number(++m_number), domain };
    for (int k = 0; k < 4; ++k)
        row << (counts ? (*counts)[k] : QString());
    if (m_workbook) {
        m_sheet.lines << row;
        *m_sheet.failures << (counts ? QString() : page.failure);
    } else if (!writeOrSay(CsvLine(row))) {
        m_writeFailed = true;
        --m_number;
        --m_done;
        return false;
    }
    (counts ? m_withCounts : m_failed) += 1;
    if (m_history)
        m_history->record({ int(m_number), domain, counts.value_or(PageCounts {}),
                            counts ? QString() : page.failure, QDateTime::currentDateTime() });
    report(row, page);
    return true;
}

void BatchRunner::report(const QStringList &row, const DomainPage &page)
{
    if (!m_messages.terminal()) {
        m_messages.say(QStringList { row.at(0), row.at(1),
                                     page.counts ? row.mid(2).join(u' ')
                                                 : QStringLiteral("失败（%1）").arg(page.failure) }
                           .join(u' '));
        return;
    }
    if (!page.counts)
        m_messages.say(QStringLiteral("%1 %2 失败（%3）").arg(row.at(0), row.at(1), page.failure));
    const qint64 left = qint64(m_todo - m_done) * m_options.paceMs / 1000;
    m_messages.redraw(QStringLiteral("已查询 %1/%2，失败 %3，剩余约 %4")
                          .arg(m_done)
                          .arg(m_todo)
                          .arg(m_failed)
                          .arg(Duration(left)));
}

int BatchRunner::finish()
{
    if (m_history) {
        const int lost = m_history->finish();
        QCoreApplication::sendPostedEvents(m_history.get()); // its last word, if any
        if (lost > 0)
            m_messages.say(QStringLiteral("有%1行结果未能写入历史记录文件%2。")
                               .arg(lost)
                               .arg(m_settings.historyFile));
    }
    m_messages.endRedrawing();
    QString summary = QStringLiteral("共查询%1个域名：有结果%2个，失败%3个，跳过%4个")
                          .arg(m_withCounts + m_failed)
                          .arg(m_withCounts)
                          .arg(m_failed)
                          .arg(m_skipped);
    if (m_interrupts.received() || m_writeFailed)
        summary += QStringLiteral("；%1，还有%2个域名未查询")
                       .arg(m_writeFailed ? QStringLiteral("因无法写入而停止")
                                          : QStringLiteral("已中断"))
                       .arg(m_todo - m_done);
    m_messages.say(summary);
    if (m_workbook) {
        if (const QString reason
            = WriteResultsWorkbook(m_options.output, m_sheet, m_output.partialWorkbook());
            !reason.isEmpty()) {
            m_messages.say(QStringLiteral("无法写入%1：%2").arg(m_options.output, reason));
            return kBatchFileUnusable;
        }
    }
    if (m_writeFailed)
        return kBatchFileUnusable;
    if (!m_options.compareLast.isEmpty() && !m_interrupts.received()) {
        // Only a run that is in the history is compared: never two earlier ones in its place.
        const QString why = !m_history || !m_history->working()
            ? QStringLiteral("没有可用的历史记录（示例数据、--no-history或历史记录文件无法使用）")
            : m_withCounts + m_failed == 0
            ? QStringLiteral("本次没有查询结果")
            : WriteLastComparison(m_settings.historyFile, m_options.compareLast);
        if (!why.isEmpty()) {
            m_messages.say(QStringLiteral("无法写入比较%1：%2").arg(m_options.compareLast, why));
            return kBatchFileUnusable;
        }
    }
    if (m_interrupts.received())
        return 128 + m_interrupts.received();
    return m_failed > 0 ? kBatchSomeFailed : kBatchAllCounted;
}

bool BatchRunner::writeOrSay(const QByteArray &bytes)
{
    const int error = m_output.append(bytes);
    if (error)
        m_messages.say(
            QStringLiteral("无法写入%1：%2已停止查询。")
                .arg(m_options.output.isEmpty() ? QStringLiteral("标准输出") : m_options.output,
                     m_output.failureReason(error)));
    return error == 0;
}
