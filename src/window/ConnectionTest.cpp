#include "ConnectionTest.h"

#include "DomainPage.h"
#include "FailureReason.h"
#include "PageCuts.h"
#include "UpdateCheck.h"

#include <QElapsedTimer>
#include <QStringList>

namespace {

// "HTTP 200，用时15毫秒" or "无法连接（reason），用时15毫秒".
QString Answer(const FetchResult &reply, qint64 ms)
{
    const QString took = QStringLiteral("用时%1毫秒").arg(ms);
    if (reply.status > 0)
        return QStringLiteral("HTTP %1，%2").arg(reply.status).arg(took);
    return QStringLiteral("%1（%2），%3").arg(FailureReason(reply), reply.error, took);
}

QString UpdateLine(const AppSettings &services)
{
    if (services.updateUrl.isEmpty())
        return QStringLiteral("更新服务：未指定，应用后使用程序自带的示例服务");
    QElapsedTimer clock;
    clock.start();
    const FetchResult reply = HttpGetText(services.updateUrl, services.updateLimits);
    QString line
        = QStringLiteral("更新服务 %1：%2").arg(services.updateUrl, Answer(reply, clock.elapsed()));
    const QString version = VersionFromReply(reply.text);
    if (reply.failed())
        return line;
    if (version.isEmpty())
        return line + QStringLiteral("，没有找到版本号");
    return line
        + (version == kCurrentVersion ? QStringLiteral("，版本号%1（与本程序相同）").arg(version)
                                      : QStringLiteral("，版本号%1（本程序为%2，应用后将提示更新）")
                                            .arg(version, kCurrentVersion));
}

QString StatsLine(const AppSettings &services, const QString &domain)
{
    if (services.statsBase.isEmpty())
        return QStringLiteral("网站统计服务：未指定，应用后使用程序自带的示例服务");
    if (domain.isEmpty())
        return QStringLiteral("网站统计服务：请填写测试域名");
    const QString url = DomainPageUrl(services.statsBase, domain);
    QElapsedTimer clock;
    clock.start();
    const FetchResult reply = HttpGetText(url, services.fetchLimits);
    const QString line
        = QStringLiteral("网站统计服务 %1：%2").arg(url, Answer(reply, clock.elapsed()));
    if (reply.failed())
        return line;
    const std::optional<PageCounts> counts = CountsOfPage(reply.text);
    if (!counts)
        return line + QStringLiteral("，没有找到收录数量（%1）").arg(FailureReason(reply));
    return line
        + QStringLiteral("，找到四个收录数量：百度%1，Google %2，360 %3，Sogou %4")
              .arg((*counts)[0], (*counts)[1], (*counts)[2], (*counts)[3]);
}

} // namespace

QString TestConnection(const AppSettings &services, const QString &domain)
{
    return UpdateLine(services) + u'\n' + StatsLine(services, domain);
}
