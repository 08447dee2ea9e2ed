#include "ProcessLauncher.h"

#include <QProcess>

namespace platform {

namespace {

// The opener is watched until it ends: its exit status is the only word of a browser that
// could not be found. It is never killed, so the page opens even when the program ends first.
bool OpenWithXdgOpen(const QString &url, const std::function<void()> &failedLater)
{
    auto *opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({ url });
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, failedLater](int status, QProcess::ExitStatus how) {
                         opener->deleteLater();
                         if ((status != 0 || how != QProcess::NormalExit) && failedLater)
                             failedLater();
                     });
    opener->start();
    if (opener->waitForStarted())
        return true;
    delete opener;
    return false;
}

} // namespace

bool QtProcessLauncher::startDetached(const QString &commandLine,
                                      const std::function<void()> &failedLater)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        return false;
    const QString program = words.takeFirst();
    if (program.compare(QLatin1String("explorer.exe"), Qt::CaseInsensitive) == 0)
        return words.size() == 1 && OpenWithXdgOpen(words.constFirst(), failedLater);
    return QProcess::startDetached(program, words);
}

} // namespace platform
