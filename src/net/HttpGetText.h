#pragma once

#include "HttpRequest.h"

#include <QObject>
#include <QString>

// The outcome of one fetch: the body as text, or why there is none.
struct FetchResult
{
    QString text;
    QString error; // empty on success; then `text` is the body, possibly empty
    int status = 0; // the answer's HTTP status, 0 when none came
    net::HttpRequest::Failure failure = net::HttpRequest::Failure::None;

    bool failed() const { return !error.isEmpty(); }
};

struct FetchLimits
{
    int timeLimitMs = net::HttpRequest::kTimeLimitMs;
    qint64 bodyCap = net::HttpRequest::kBodyCap;
    bool direct = false; // never through a proxy (the bundled sample service, or the user's wish)
    QString proxy; // through this proxy ("host:port") when not direct; empty: the environment's
};

// Ends fetches under way from outside them (a signal in the batch mode): each returns at once,
// failed.
class FetchCancel : public QObject
{
    Q_OBJECT
public:
    void cancel() { emit cancelled(); }

signals:
    void cancelled();
};

// One HTTP GET of `url`; returns the response body whatever the status code. The window stays
// live while it waits, so other handlers (and further fetches) may run inside the wait; this
// call returns only after every fetch started meanwhile has returned.
FetchResult HttpGetText(const QString &url, const FetchLimits &limits = {},
                        const FetchCancel *cancel = nullptr);
