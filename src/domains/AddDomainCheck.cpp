#include "AddDomainCheck.h"

#include "SuffixMarkers.h"

QString AddDomainRefusal(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("请输入域名..");
    if (!HasAcceptedSuffix(text))
        return QStringLiteral("域名不正确,您请检查..");
    if (text.contains(QStringLiteral("http://"), Qt::CaseSensitive))
        return QStringLiteral("域名不需要加http://..");
    if (text.startsWith(QStringLiteral("www."), Qt::CaseSensitive))
        return QStringLiteral("域名不需要加www..");
    return {};
}
