#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QProcess;

namespace platform {

// A helper server that this program starts and owns: it ends with the program, also when the
// program is killed or crashes (the system sends it SIGTERM when its parent dies).
class LoopbackService
{
public:
    LoopbackService();
    ~LoopbackService();

    // Starts `program` with `arguments` and waits until it prints the address it listens on
    // ("... listening on http://127.0.0.1:<port>"). Returns that address, or empty with `error`
    // saying why it did not come up.
    // The address is only believed when it is on this machine (loopback).
    QString start(const QString &program, const QStringList &arguments, QString *error);
    // Called from the event loop when the service, once up, ends on its own.
    void setEndedHandler(std::function<void()> ended) { m_ended = std::move(ended); }
    bool running() const;
    // Where the running service listens; empty when none runs.
    QString address() const { return running() ? m_address : QString(); }
    // Ends the service, if it runs; its ended handler is not called.
    void stop();

private:
    std::function<void()> m_ended;
    std::unique_ptr<QProcess> m_process;
    QString m_address;
};

} // namespace platform
