#pragma once

#include "HttpGetText.h"
#include "PageCuts.h"

#include <QString>
#include <optional>

// One domain's statistics page, the same road for the window and the batch mode: the address
// made from the service base and the entry, the fetch, the cut, and the failure's words.

// The page of `domain` under `base` ("http://host/siteall/"): the entry goes in as one
// percent-encoded path segment (letters, digits and "-._~" as they are, every other byte of its
// UTF-8 encoded), so no entry can ask for another page, add a query or be cut at a "#". A plain
// host name gives the base followed by the name.
QString DomainPageUrl(const QString &base, const QString &domain);

struct DomainPage
{
    std::optional<PageCounts> counts; // none: no page, or a page without a counts row
    QString failure; // why there are no counts, in the user's words
};

// Fetches the page of `domain` and cuts its counts; the window stays live meanwhile.
DomainPage FetchDomainPage(const QString &base, const QString &domain, const FetchLimits &limits,
                           const FetchCancel *cancel = nullptr);
