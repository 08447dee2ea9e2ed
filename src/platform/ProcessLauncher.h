#pragma once

#include <QString>
#include <functional>

namespace platform {

// Starts a command line as a new process without waiting for it. False when it could not be
// started (no such program, no opener for a web page). An opener that starts but then fails
// (xdg-open with no browser to hand the page to) calls `failedLater` from the event loop.
class ProcessLauncher
{
public:
    virtual ~ProcessLauncher() = default;
    virtual bool startDetached(const QString &commandLine,
                               const std::function<void()> &failedLater = {})
        = 0;
};

// "explorer.exe <url>" opens the URL in the user's default browser through xdg-open; anything
// else is started as a program with its arguments.
class QtProcessLauncher final : public ProcessLauncher
{
public:
    bool startDetached(const QString &commandLine,
                       const std::function<void()> &failedLater = {}) override;
};

} // namespace platform
