#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <functional>
#include <memory>

// Median wall time of `runs` calls of `work`, in microseconds.
double MedianMicros(int runs, const std::function<void()> &work);
double Median(QList<double> values);
// CPU time (user + system) this process has used so far, in milliseconds.
double ProcessCpuMillis();
// Peak resident memory of this process so far, in MiB.
double PeakRssMiB();

// The stand-in service in its own process, on a free loopback port.
class StandIn
{
public:
    explicit StandIn(const QStringList &extraArgs = {});
    ~StandIn();
    bool started() const { return m_port != 0; }
    QString base() const;

private:
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
};
