#include "LoopbackService.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kStartTimeMs = 10'000;

} // namespace

LoopbackService::LoopbackService() = default;

LoopbackService::~LoopbackService()
{
    m_ended = nullptr; // ended by us, not on its own
    stop();
}

void LoopbackService::stop()
{
    if (!m_process)
        return;
    // Ended by us, not on its own: nobody is told.
    QObject::disconnect(m_process.get(), &QProcess::finished, nullptr, nullptr);
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(2000)) {
            m_process->kill();
            m_process->waitForFinished(2000);
        }
    }
    m_process.reset();
    m_address.clear();
}

bool LoopbackService::running() const
{
    return m_process && m_process->state() == QProcess::Running;
}

QString LoopbackService::start(const QString &program, const QStringList &arguments, QString *error)
{
    error->clear();
    stop();
    if (!QFileInfo(program).isExecutable()) {
        *error = QStringLiteral("找不到示例服务程序%1。").arg(program);
        return {};
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(program);
    m_process->setArguments(arguments);
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->setStandardErrorFile(QProcess::nullDevice());
    const pid_t parent = ::getpid();
    m_process->setChildProcessModifier([parent] {
        // Ends with us, however we end; and if we are already gone, at once.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::raise(SIGTERM);
    });
    m_process->start(QIODevice::ReadOnly);
    if (!m_process->waitForStarted(kStartTimeMs)) {
        *error = QStringLiteral("示例服务程序%1无法运行（%2）。")
                     .arg(program, m_process->errorString());
        return {};
    }
    static const QRegularExpression listening(QStringLiteral("listening on (http://\\S+)"));
    QByteArray output;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kStartTimeMs && m_process->state() == QProcess::Running) {
        if (m_process->canReadLine() || m_process->waitForReadyRead(100)) {
            output += m_process->readAll();
            const auto match = listening.match(QString::fromUtf8(output));
            // Only our own machine: a child that names another host is not the sample service.
            const QUrl where(match.captured(1));
            if (match.hasMatch() && QHostAddress(where.host()).isLoopback()) {
                QObject::connect(m_process.get(), &QProcess::finished, m_process.get(), [this] {
                    m_address.clear();
                    if (m_ended)
                        m_ended();
                });
                m_address = match.captured(1);
                return m_address;
            }
            if (match.hasMatch()) {
                *error = QStringLiteral("示例服务程序%1给出的地址不在本机：%2。")
                             .arg(program, match.captured(1));
                break;
            }
        }
    }
    if (error->isEmpty())
        *error = m_process->state() == QProcess::Running
            ? QStringLiteral("示例服务程序%1在%2秒内没有开始服务。")
                  .arg(program)
                  .arg(kStartTimeMs / 1000)
            : QStringLiteral("示例服务程序%1一启动就退出了（退出码%2）。")
                  .arg(program)
                  .arg(m_process->exitCode());
    m_process->kill();
    m_process->waitForFinished(2000);
    return {};
}

} // namespace platform
