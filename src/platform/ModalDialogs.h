#pragma once

class QDialog;

namespace platform {

// Shows a dialog modally and returns when it has closed.
class ModalDialogs
{
public:
    virtual ~ModalDialogs() = default;
    virtual void exec(QDialog &dialog) = 0;
};

class QtModalDialogs final : public ModalDialogs
{
public:
    void exec(QDialog &dialog) override;
};

} // namespace platform
