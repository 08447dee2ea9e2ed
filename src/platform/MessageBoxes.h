#pragma once

#include <QString>

class QWidget;

namespace platform {

// The two icons the program's boxes use; the values are the classic message-box style codes.
enum class BoxIcon { Warning = 48, Information = 64 };

// A modal box with one OK button; and one that asks before something is undone for good, with
// 确定 and 取消 (取消 by default, and for Esc).
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual void show(QWidget *parent, const QString &text, BoxIcon icon, const QString &title) = 0;
    virtual bool confirm(QWidget *parent, const QString &text, const QString &title) = 0;
};

class QtMessageBoxes final : public MessageBoxes
{
public:
    void show(QWidget *parent, const QString &text, BoxIcon icon, const QString &title) override;
    bool confirm(QWidget *parent, const QString &text, const QString &title) override;
};

} // namespace platform
