#pragma once

#include <QString>
#include <QStringList>
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
    QString start(const QString &program, const QStringList &arguments, QString *error);

private:
    std::unique_ptr<QProcess> m_process;
};

} // namespace platform
