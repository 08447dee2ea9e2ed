#include "AccessibleRoles.h"

#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace platform {

namespace {

const char kRole[] = "platformAccessibleRole";

QAccessibleInterface *RoleOfItsOwn(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    const QVariant role = object ? object->property(kRole) : QVariant();
    if (!widget || !role.isValid())
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Role(role.toInt()));
}

void Give(QWidget *widget, QAccessible::Role role)
{
    static const bool installed = (QAccessible::installFactory(RoleOfItsOwn), true);
    Q_UNUSED(installed);
    widget->setProperty(kRole, int(role));
}

} // namespace

void ReadOutAsFrame(QWidget *window)
{
    Give(window, QAccessible::Window); // a frame to AT-SPI
}

void ReadOutAsStatusBar(QWidget *bar)
{
    Give(bar, QAccessible::StatusBar);
}

} // namespace platform
