#include "ServicesReady.h"

#include "LoopbackService.h"

#include <QUrl>
#include <cstdio>

AppSettings ServicesReady(AppSettings named, platform::LoopbackService &sample,
                          const QString &standin, QString *problem)
{
    AppSettings settings = named;
    if (named.statsBase.isEmpty() || named.updateUrl.isEmpty()) {
        QString error;
        // One already running (services set again in the window) goes on serving.
        QString host = sample.address();
        if (host.isEmpty())
            host = sample.start(standin, { QStringLiteral("--port"), QStringLiteral("0") }, &error);
        const QString said = QStringLiteral("示例服务无法启动：") + error;
        if (host.isEmpty() && problem)
            *problem = said;
        else if (host.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(said));
        settings = named.withSampleService(host);
    } else {
        sample.stop(); // no longer needed
    }
    const QUrl stats(settings.statsBase);
    const QString root = stats.isValid() && !stats.host().isEmpty()
        ? stats.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toString()
            + u'/'
        : QString();
    for (QString *link : { &settings.forumUrl, &settings.serviceUrl, &settings.resourceUrl }) {
        if (link->isEmpty())
            *link = root;
    }
    return settings;
}
