#pragma once

#include <functional>

class QEventLoop;

namespace platform {

// Keeps handling the application's events until `done()` holds; `wakeOn` connects whatever
// may make it hold to the loop's quit(). Waits without spinning: the thread sleeps until an
// event arrives. Handlers that run meanwhile may start waits of their own; an outer wait
// returns only after every inner one has returned. Returns false when the wait was cut short
// because the application is shutting down.
bool ProcessEventsUntil(const std::function<bool()> &done,
                        const std::function<void(QEventLoop &)> &wakeOn);

} // namespace platform
