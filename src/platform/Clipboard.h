#pragma once

#include <QString>

namespace platform {

// The system clipboard: text put there leaves the program, text taken from it comes in.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString &text) = 0;
    virtual QString text() const = 0;
};

class QtClipboard final : public Clipboard
{
public:
    void setText(const QString &text) override;
    QString text() const override;
};

} // namespace platform
