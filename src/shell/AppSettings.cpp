#include "AppSettings.h"

#include "BuildSettings.h"

namespace {

AppSettings WithServiceHosts(const QString &statsHost, const QString &updateHost)
{
    AppSettings settings;
    settings.statsBase = statsHost + QStringLiteral("/siteall/");
    settings.updateUrl = updateHost + QStringLiteral("/version/main.txt");
    return settings;
}

} // namespace

AppSettings AppSettings::fromBuild()
{
    AppSettings settings
        = WithServiceHosts(QStringLiteral(VARNEL_STATS_HOST), QStringLiteral(VARNEL_UPDATE_HOST));
    settings.forumUrl = QStringLiteral(VARNEL_FORUM_URL);
    settings.serviceUrl = QStringLiteral(VARNEL_SERVICE_URL);
    settings.resourceUrl = QStringLiteral(VARNEL_RESOURCE_URL);
    settings.versionMajor = VARNEL_VERSION_MAJOR;
    settings.versionMinor = VARNEL_VERSION_MINOR;
    settings.versionRevision = VARNEL_VERSION_PATCH;
    return settings;
}

AppSettings AppSettings::withServices(const QString &statsHost, const QString &updateHost) const
{
    AppSettings settings = *this;
    const AppSettings named = WithServiceHosts(statsHost, updateHost);
    if (!statsHost.isEmpty())
        settings.statsBase = named.statsBase;
    if (!updateHost.isEmpty())
        settings.updateUrl = named.updateUrl;
    return settings;
}

AppSettings AppSettings::onHost(const QString &host)
{
    AppSettings settings = WithServiceHosts(host, host);
    settings.forumUrl = host;
    settings.serviceUrl = host;
    settings.resourceUrl = host;
    return settings;
}
