#include "BenchUtil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <algorithm>
#include <sys/resource.h>

double Median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double MedianMicros(int runs, const std::function<void()> &work)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times << timer.nsecsElapsed() / 1000.0;
    }
    return Median(times);
}

double ProcessCpuMillis()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    auto millis = [](const timeval &t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return millis(usage.ru_utime) + millis(usage.ru_stime);
}

double PeakRssMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

StandIn::StandIn(const QStringList &extraArgs)
    : m_process(std::make_unique<QProcess>())
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return;
    const int port = probe.serverPort();
    probe.close();
    m_process->setProgram(QCoreApplication::applicationDirPath()
                          + QStringLiteral("/varnel-standin"));
    m_process->setArguments(QStringList { QStringLiteral("--port"), QString::number(port) }
                            + extraArgs);
    m_process->start();
    if (!m_process->waitForReadyRead(5000))
        return;
    if (m_process->readAllStandardOutput().contains("listening"))
        m_port = port;
}

StandIn::~StandIn()
{
    m_process->kill();
    m_process->waitForFinished(2000);
}

QString StandIn::base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}
