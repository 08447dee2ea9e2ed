#include "FailureReason.h"

QString FailureReason(const FetchResult &page)
{
    using Failure = net::HttpRequest::Failure;
    switch (page.failure) {
    case Failure::TimedOut:
        return QStringLiteral("超时");
    case Failure::NoConnection:
        return QStringLiteral("无法连接");
    case Failure::Broken:
        return QStringLiteral("数据格式错误");
    case Failure::Aborted:
        return QStringLiteral("已取消");
    case Failure::None:
        break;
    }
    if (page.status >= 400)
        return QStringLiteral("HTTP %1").arg(page.status);
    return QStringLiteral("页面中没有收录数据");
}
