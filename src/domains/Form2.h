#pragma once

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class Form2;
}
namespace platform {
class MessageBoxes;
}

// The add-domain dialog. It checks the typed text, hands an accepted domain to the main window
// and, when asked to, has the main window query it once the dialog has closed. It never
// touches the main window's controls itself.
class Form2 : public QDialog
{
    Q_OBJECT
public:
    struct MainWindowHooks
    {
        std::function<int()> entryCount;
        std::function<void(const QString &)> appendEntry;
        std::function<void()> queryLastEntry; // cx
    };

    Form2(platform::MessageBoxes &boxes, MainWindowHooks hooks, QWidget *parent = nullptr);
    ~Form2() override;

    void onAddClick();

private:
    void say(const QString &text);

    std::unique_ptr<Ui::Form2> ui;
    platform::MessageBoxes &m_boxes;
    MainWindowHooks m_hooks;
};
