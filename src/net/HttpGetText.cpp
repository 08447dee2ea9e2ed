#include "HttpGetText.h"

#include "EventWait.h"

FetchResult HttpGetText(const QString &url, const FetchLimits &limits, const FetchCancel *cancel)
{
    const QString target = url; // our own copy: handlers run during the wait
    platform::HttpRequest request;
    request.setLimits(limits.timeLimitMs, limits.bodyCap);
    request.setDirect(limits.direct);

    const bool sent = request.open(QStringLiteral("get"), target, true)
        && request.setRequestHeader(QStringLiteral("If-Modified-Since"), QStringLiteral("0"))
        && request.send();
    using Failure = platform::HttpRequest::Failure;
    if (!sent) // an address that cannot be asked
        return { {}, request.errorString(), 0, Failure::NoConnection };
    if (cancel)
        QObject::connect(cancel, &FetchCancel::cancelled, &request,
                         [&request] { request.abort(QStringLiteral("cancelled")); });

    if (!platform::ProcessEventsUntilDone(request)) {
        request.abort(QStringLiteral("the program is shutting down"));
        return { {}, request.errorString(), 0, Failure::Aborted };
    }
    if (!request.errorString().isEmpty())
        return { {}, request.errorString(), request.status(), request.failure() };
    return { request.responseText(), {}, request.status(), Failure::None };
}
