#include "ServiceSettings.h"

#include "HttpGetText.h"
#include "ServiceAddress.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace {

const char *const kProxyNames[] = { "environment", "none", "manual" };

} // namespace

ServiceSettings ServiceSettings::load(const QString &path)
{
    ServiceSettings settings;
    const QSettings file(path, QSettings::IniFormat);
    // An address edited by hand into something else is not used: the built-in one is.
    settings.statsBase = ServiceBase(file.value(QStringLiteral("services/stats")).toString());
    settings.updateBase = ServiceBase(file.value(QStringLiteral("services/update")).toString());
    const QString proxy = file.value(QStringLiteral("proxy/mode")).toString();
    for (int mode = 0; mode < 3; ++mode) {
        if (proxy == QLatin1String(kProxyNames[mode]))
            settings.proxy = Proxy(mode);
    }
    settings.proxyHost = file.value(QStringLiteral("proxy/host")).toString().trimmed();
    settings.proxyPort = file.value(QStringLiteral("proxy/port")).toInt();
    if (settings.proxy == Proxy::Manual && !settings.problem().isEmpty())
        settings.proxy = Proxy::FromEnvironment;
    return settings;
}

bool ServiceSettings::save(const QString &path) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // A writer killed while taking Qt's lock leaves it empty, and Qt would wait 30 s for such a
    // lock to age: one over 2 s old that no living process holds is taken and let go here.
    QLockFile stale(path + QStringLiteral(".lock"));
    stale.setStaleLockTime(2000);
    if (stale.tryLock(3000))
        stale.unlock();
    // QSettings writes through a new file renamed over the old one.
    QSettings file(path, QSettings::IniFormat);
    file.setValue(QStringLiteral("services/stats"), statsBase);
    file.setValue(QStringLiteral("services/update"), updateBase);
    file.setValue(QStringLiteral("proxy/mode"), QLatin1String(kProxyNames[int(proxy)]));
    file.setValue(QStringLiteral("proxy/host"), proxyHost);
    file.setValue(QStringLiteral("proxy/port"), proxyPort);
    file.sync();
    return file.status() == QSettings::NoError;
}

QString ServiceSettings::problem() const
{
    if (proxy != Proxy::Manual)
        return {};
    const bool hostOk = !proxyHost.isEmpty()
        && !proxyHost.contains(QRegularExpression(QStringLiteral("[\\s/@?#]")));
    if (!hostOk)
        return QStringLiteral("请填写代理服务器的主机名或IP地址");
    if (proxyPort < 1 || proxyPort > 65535)
        return QStringLiteral("代理端口须为1到65535的整数");
    return {};
}

void ServiceSettings::applyProxyTo(FetchLimits &limits) const
{
    if (proxy == Proxy::None)
        limits.direct = true;
    else if (proxy == Proxy::Manual) {
        // An IPv6 address goes in brackets, as in any address.
        const bool bare6 = proxyHost.contains(u':') && !proxyHost.startsWith(u'[');
        limits.proxy = (bare6 ? QStringLiteral("http://[%1]:%2") : QStringLiteral("http://%1:%2"))
                           .arg(proxyHost)
                           .arg(proxyPort);
    }
}

QString UserSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Varnel/varnel-index-query.conf");
}
