#include "DomainPage.h"

#include "FailureReason.h"

#include <QUrl>

QString DomainPageUrl(const QString &base, const QString &domain)
{
    return base + QString::fromLatin1(QUrl::toPercentEncoding(domain));
}

DomainPage FetchDomainPage(const QString &base, const QString &domain, const FetchLimits &limits,
                           const FetchCancel *cancel)
{
    const FetchResult page = HttpGetText(DomainPageUrl(base, domain), limits, cancel);
    DomainPage result { CountsOfPage(page.text), {} };
    if (!result.counts)
        result.failure = FailureReason(page);
    return result;
}
