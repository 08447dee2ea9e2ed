#include "AppSettings.h"

#include "BuildSettings.h"
#include "ServiceSettings.h"

namespace {

// An empty host is a service not named: its address stays empty.
AppSettings WithServiceHosts(const QString &statsHost, const QString &updateHost)
{
    AppSettings settings;
    if (!statsHost.isEmpty())
        settings.statsBase = statsHost + QStringLiteral("/siteall/");
    if (!updateHost.isEmpty())
        settings.updateUrl = updateHost + QStringLiteral("/version/main.txt");
    return settings;
}

// The bundled sample service is always reached directly; named services through the proxy the
// environment names, if any.
void DirectTo(AppSettings &settings, const QString &sampleHost)
{
    const QString root = sampleHost + u'/';
    settings.fetchLimits.direct |= !sampleHost.isEmpty() && settings.statsBase.startsWith(root);
    settings.updateLimits.direct |= !sampleHost.isEmpty() && settings.updateUrl.startsWith(root);
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

AppSettings AppSettings::withUserServices(const ServiceSettings &saved) const
{
    AppSettings settings = withServices(saved.statsBase, saved.updateBase);
    saved.applyProxyTo(settings.fetchLimits);
    saved.applyProxyTo(settings.updateLimits);
    return settings;
}

AppSettings AppSettings::withSampleService(const QString &sampleHost) const
{
    AppSettings settings = withServices(statsBase.isEmpty() ? sampleHost : QString(),
                                        updateUrl.isEmpty() ? sampleHost : QString());
    settings.sampleData = statsBase.isEmpty() && !sampleHost.isEmpty();
    DirectTo(settings, sampleHost);
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
