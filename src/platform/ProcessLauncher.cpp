#include "ProcessLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace platform {

void QtProcessLauncher::startDetached(const QString &commandLine)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        return;
    const QString program = words.takeFirst();
    if (program.compare(QLatin1String("explorer.exe"), Qt::CaseInsensitive) == 0) {
        for (const QString &target : std::as_const(words))
            QDesktopServices::openUrl(QUrl(target));
        return;
    }
    QProcess::startDetached(program, words);
}

} // namespace platform
