#include "DesktopStart.h"

#include "SessionBusProbe.h"

#include <unistd.h>

QString ChosenPlatform(const QStringList &arguments)
{
    for (qsizetype at = 1; at < arguments.size(); ++at) {
        const QString &argument = arguments.at(at);
        if ((argument == QLatin1String("-platform") || argument == QLatin1String("--platform"))
            && at + 1 < arguments.size())
            return arguments.at(at + 1);
        for (const QLatin1String joined :
             { QLatin1String("-platform="), QLatin1String("--platform=") })
            if (argument.startsWith(joined))
                return argument.mid(joined.size());
    }
    return qEnvironmentVariable("QT_QPA_PLATFORM");
}

QString NoDisplayProblem(const QString &platform)
{
    // The platform's name may carry options ("xcb:…") or fallbacks ("wayland;xcb").
    const QString first = platform.section(u';', 0, 0).section(u':', 0, 0);
    const bool needsDisplay = first.isEmpty() || first == QLatin1String("xcb")
        || first.startsWith(QLatin1String("wayland"));
    if (!needsDisplay || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    return QStringLiteral("没有可用的图形显示（DISPLAY和WAYLAND_DISPLAY均未设置），无法打开窗口；"
                          "不开窗口查询请用 --batch（见 --help）。");
}

void NeverAutolaunchSessionBus()
{
    if (!platform::SessionBusAddress().isEmpty())
        return;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString usual
        = runtime.isEmpty() ? QStringLiteral("/run/user/%1").arg(::getuid()) : runtime;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + usual.toLocal8Bit() + "/bus");
}
