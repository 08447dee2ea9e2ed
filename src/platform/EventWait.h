#pragma once

namespace platform {

class HttpRequest;

// Keeps handling the application's events until the request has completed. Waits without
// spinning: the thread sleeps until an event arrives. Handlers that run meanwhile may start
// waits of their own; an outer wait returns only after every inner one has returned.
// Returns false when the wait was cut short because the application is shutting down.
bool ProcessEventsUntilDone(HttpRequest &request);

} // namespace platform
