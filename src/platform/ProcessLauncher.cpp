#include "ProcessLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace platform {

bool QtProcessLauncher::startDetached(const QString &commandLine)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        return false;
    const QString program = words.takeFirst();
    if (program.compare(QLatin1String("explorer.exe"), Qt::CaseInsensitive) == 0) {
        bool opened = !words.isEmpty();
        for (const QString &target : std::as_const(words))
            opened = QDesktopServices::openUrl(QUrl(target)) && opened;
        return opened;
    }
    return QProcess::startDetached(program, words);
}

} // namespace platform
