#include "EventWait.h"

#include "HttpRequest.h"

#include <QEventLoop>

namespace platform {

bool ProcessEventsUntilDone(HttpRequest &request)
{
    if (request.readyState() == HttpRequest::Done)
        return true;
    QEventLoop loop;
    QObject::connect(&request, &HttpRequest::completed, &loop, &QEventLoop::quit);
    loop.exec();
    return request.readyState() == HttpRequest::Done;
}

} // namespace platform
