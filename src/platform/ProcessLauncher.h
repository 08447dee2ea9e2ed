#pragma once

#include <QString>

namespace platform {

// Starts a command line as a new process without waiting for it.
class ProcessLauncher
{
public:
    virtual ~ProcessLauncher() = default;
    virtual void startDetached(const QString &commandLine) = 0;
};

// "explorer.exe <url>" opens the URL in the user's default browser; anything else is started
// as a program with its arguments.
class QtProcessLauncher final : public ProcessLauncher
{
public:
    void startDetached(const QString &commandLine) override;
};

} // namespace platform
