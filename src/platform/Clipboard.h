#pragma once

#include <QString>

namespace platform {

// The system clipboard: text put there leaves the program.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString &text) = 0;
};

class QtClipboard final : public Clipboard
{
public:
    void setText(const QString &text) override;
};

} // namespace platform
