#pragma once

#include <QString>

namespace platform {

// Starts a command line as a new process without waiting for it. False when it could not be
// started (no such program, no browser or opener for a web page).
class ProcessLauncher
{
public:
    virtual ~ProcessLauncher() = default;
    virtual bool startDetached(const QString &commandLine) = 0;
};

// "explorer.exe <url>" opens the URL in the user's default browser; anything else is started
// as a program with its arguments.
class QtProcessLauncher final : public ProcessLauncher
{
public:
    bool startDetached(const QString &commandLine) override;
};

} // namespace platform
