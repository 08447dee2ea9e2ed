#include "BatchRun.h"

#include "DomainEntries.h"
#include "DomainFile.h"
#include "HttpGetText.h"
#include "PageCuts.h"
#include "ResultsExport.h"
#include "ResultsModel.h"
#include "SuffixMarkers.h"
#include "UpdateCheck.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSet>
#include <QTimer>

#include <csignal>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_signal = 0;

void OnSignal(int signal)
{
    g_signal = signal;
}

void Say(FILE *to, const QString &line)
{
    std::fprintf(to, "%s\n", qPrintable(line));
    std::fflush(to);
}

// Sleeps with the event loop running until `until` (ns on `clock`) or a signal came.
void WaitUntil(const QElapsedTimer &clock, qint64 until)
{
    while (!g_signal && clock.nsecsElapsed() < until) {
        QEventLoop loop;
        const qint64 leftMs = (until - clock.nsecsElapsed() + 999'999) / 1'000'000;
        QTimer::singleShot(std::min<qint64>(50, leftMs), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
}

QString Duration(qint64 seconds)
{
    return seconds >= 3600
        ? QStringLiteral("%1小时%2分").arg(seconds / 3600).arg(seconds % 3600 / 60)
        : QStringLiteral("%1分%2秒").arg(seconds / 60).arg(seconds % 60);
}

// Where the rows go: a file they are appended to one by one, or stdout.
class RowSink
{
public:
    RowSink(FILE *out)
        : m_out(out)
    {
    }

    bool openFile(const QString &path)
    {
        m_file.setFileName(path);
        const bool fresh = !m_file.exists() || m_file.size() == 0;
        if (!m_file.open(QIODevice::Append | QIODevice::Unbuffered))
            return false;
        if (fresh)
            write(kCsvStart + CsvLine(ResultsModel::header()));
        return true;
    }
    void startStdout() { write(kCsvStart + CsvLine(ResultsModel::header())); }

    void write(const QByteArray &bytes)
    {
        if (m_file.isOpen()) {
            m_file.write(bytes); // unbuffered: with the system as soon as it is made
        } else {
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_out);
            std::fflush(m_out);
        }
    }

private:
    FILE *m_out;
    QFile m_file;
};

} // namespace

int RunBatch(const BatchOptions &options, const AppSettings &settings, FILE *csvOut, FILE *messages)
{
    g_signal = 0;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    // The same gate as the window's: only the current version goes on.
    const QString version = VersionFromReply(HttpGetText(settings.updateUrl).text);
    if (version.isEmpty()) {
        Say(messages, QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版"));
        return kBatchUpdateCheck;
    }
    if (version != kCurrentVersion) {
        Say(messages, QStringLiteral("发现最新版本：%1，请先更新程序。").arg(version));
        return kBatchUpdateCheck;
    }

    QFile listFile;
    if (!OpenDomainFile(options.list, listFile)) {
        Say(messages, QStringLiteral("无法读取文件：%1").arg(options.list));
        return kBatchListUnreadable;
    }
    const DomainFileLines read = ReadDomainLines(listFile, kMaxListEntries);
    listFile.close();
    if (read.readFailed)
        Say(messages,
            QStringLiteral("读取文件时出错，只导入了出错之前读到的%1行。").arg(read.lines.size()));
    if (const QString leftOut = LeftOutMessage(read, QStringLiteral("文件")); !leftOut.isEmpty())
        Say(messages, QString(leftOut).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
    const QStringList domains = CleanDomainEntries(read.lines);

    // Resuming: domains that already have counts in the file are not asked again.
    QSet<QString> counted;
    int number = 0;
    if (options.resume) {
        QFile earlier(options.output);
        if (earlier.exists()) {
            std::optional<QList<QStringList>> lines;
            if (earlier.open(QIODevice::ReadOnly))
                lines = ParseResultsCsv(earlier.readAll());
            if (!lines || lines->isEmpty() || lines->first() != ResultsModel::header()) {
                Say(messages,
                    QStringLiteral("--resume: %1 不是本程序批量模式写出的结果文件。")
                        .arg(options.output));
                return kBatchUsage;
            }
            for (const QStringList &row : lines->mid(1)) {
                if (row.size() == 6 && !(row.mid(2).join(QString()).isEmpty()))
                    counted.insert(row.at(1));
                number = std::max(number, row.value(0).toInt());
            }
        }
    }

    RowSink sink(csvOut);
    if (options.output.isEmpty())
        sink.startStdout();
    else if (!sink.openFile(options.output)) {
        Say(messages, QStringLiteral("无法写入文件：%1").arg(options.output));
        return kBatchUsage;
    }

    const bool terminal = ::isatty(::fileno(messages));
    int todo = 0;
    for (const QString &domain : domains)
        todo += counted.contains(domain) ? 0 : 1;
    int done = 0, withCounts = 0, failed = 0, skipped = 0;
    QElapsedTimer pace;
    qint64 slot = 0; // when the current step was due, in ns since the first
    bool first = true;
    for (const QString &domain : domains) {
        if (g_signal)
            break;
        if (counted.contains(domain))
            continue;
        ++done;
        if (!HasAcceptedSuffix(domain)) {
            ++skipped;
            Say(messages, QStringLiteral("跳过：%1（域名不正确）").arg(domain));
            continue;
        }
        // Steps keep to a fixed schedule, so small delays do not add up; a service slower than
        // the pace moves the schedule on instead of bunching later queries together.
        if (first) {
            pace.start();
            first = false;
        } else {
            slot = std::max(slot + qint64(options.paceMs) * 1'000'000, pace.nsecsElapsed() - 1);
            WaitUntil(pace, slot);
        }
        if (g_signal)
            break;
        const std::optional<PageCounts> counts
            = CountsOfPage(HttpGetText(settings.statsBase + domain).text);
        ++number;
        QStringList row { QString::number(number), domain };
        for (int k = 0; k < 4; ++k)
            row << (counts ? (*counts)[k] : QString());
        sink.write(CsvLine(row));
        (counts ? withCounts : failed) += 1;
        if (terminal) {
            const qint64 left = qint64(todo - done) * options.paceMs / 1000;
            std::fprintf(messages, "\r\033[K已查询 %d/%d，失败 %d，剩余约 %s", done, todo, failed,
                         qPrintable(Duration(left)));
            std::fflush(messages);
        } else {
            Say(messages,
                QStringList { QString::number(number), domain,
                              counts ? row.mid(2).join(u' ') : QStringLiteral("失败") }
                    .join(u' '));
        }
    }
    if (terminal)
        std::fprintf(messages, "\n");
    Say(messages,
        QStringLiteral("共查询%1个域名：有结果%2个，失败%3个，跳过%4个")
            .arg(withCounts + failed)
            .arg(withCounts)
            .arg(failed)
            .arg(skipped));
    if (g_signal)
        return 128 + int(g_signal);
    return failed > 0 ? kBatchSomeFailed : kBatchAllCounted;
}
