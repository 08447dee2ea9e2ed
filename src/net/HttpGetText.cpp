#include "HttpGetText.h"

#include "EventWait.h"

#include <QEventLoop>

FetchResult HttpGetText(const QString &url, const FetchLimits &limits, const FetchCancel *cancel)
{
    const QString target = url; // our own copy: handlers run during the wait
    net::HttpRequest request;
    request.setLimits(limits.timeLimitMs, limits.bodyCap);
    request.setDirect(limits.direct);
    request.setProxy(limits.proxy);

    const bool sent = request.open(QStringLiteral("get"), target, true)
        && request.setRequestHeader(QStringLiteral("If-Modified-Since"), QStringLiteral("0"))
        && request.send();
    using Failure = net::HttpRequest::Failure;
    if (!sent) // an address that cannot be asked
        return { {}, request.errorString(), 0, Failure::NoConnection };
    if (cancel)
        QObject::connect(cancel, &FetchCancel::cancelled, &request,
                         [&request] { request.abort(QStringLiteral("cancelled")); });

    const auto done = [&request] { return request.readyState() == net::HttpRequest::Done; };
    const auto wakeOn = [&request](QEventLoop &loop) {
        QObject::connect(&request, &net::HttpRequest::completed, &loop, &QEventLoop::quit);
    };
    if (!platform::ProcessEventsUntil(done, wakeOn)) {
        request.abort(QStringLiteral("the program is shutting down"));
        return { {}, request.errorString(), 0, Failure::Aborted };
    }
    if (!request.errorString().isEmpty())
        return { {}, request.errorString(), request.status(), request.failure() };
    return { request.responseText(), {}, request.status(), Failure::None };
}
