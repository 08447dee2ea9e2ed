#pragma once

namespace platform {

// Ends the program from inside a handler.
class ProgramExit
{
public:
    virtual ~ProgramExit() = default;
    virtual void endNow() = 0;
};

class QtProgramExit final : public ProgramExit
{
public:
    void endNow() override;
};

} // namespace platform
