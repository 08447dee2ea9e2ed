#include "KeyboardMenus.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWidget>

namespace platform {

namespace {

class ShiftF10 : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        // The first widget a key press reaches is the one with the focus: it is taken there, so
        // it never travels on to the parents.
        auto *focus = qobject_cast<QWidget *>(watched);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier || !focus)
            return false;
        // Where the Menu key would open it: the middle of the control.
        const QPoint at = focus->rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
        QApplication::sendEvent(focus, &menu);
        return true;
    }
};

} // namespace

void OpenContextMenusOnShiftF10(QObject *owner)
{
    qApp->installEventFilter(new ShiftF10(owner));
}

} // namespace platform
