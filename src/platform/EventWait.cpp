#include "EventWait.h"

#include <QEventLoop>

namespace platform {

bool ProcessEventsUntil(const std::function<bool()> &done,
                        const std::function<void(QEventLoop &)> &wakeOn)
{
    if (done())
        return true;
    QEventLoop loop;
    wakeOn(loop);
    loop.exec();
    return done();
}

} // namespace platform
