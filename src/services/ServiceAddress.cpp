#include "ServiceAddress.h"

#include <QUrl>

QString ServiceBase(const QString &value)
{
    const QUrl url(value, QUrl::StrictMode);
    const bool web
        = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (!url.isValid() || !web || url.host().isEmpty() || !url.userInfo().isEmpty()
        || url.hasQuery() || url.hasFragment())
        return {};
    QString base = url.toString(QUrl::FullyEncoded);
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

QString NotAServiceAddress(const QString &value)
{
    return QStringLiteral("不是有效的http或https服务地址：\"%1\"").arg(value);
}
