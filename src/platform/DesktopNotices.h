#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

// What the desktop shows outside the window: progress on the launcher (docks and task managers
// read it from the session bus), a notification, and a window asking for attention. Without a
// session bus or a notification service nothing happens, at once.
class DesktopNotices
{
public:
    virtual ~DesktopNotices() = default;
    // `fraction` from 0 to 1; `visible` false clears it.
    virtual void progress(double fraction, bool visible) = 0;
    // Its default action (a click on it) calls `activated`.
    virtual void notify(const QString &summary, const QString &body,
                        std::function<void()> activated)
        = 0;
    virtual void alert(QWidget *window) = 0;
};

// Over the session bus: signal Update of com.canonical.Unity.LauncherEntry, and
// org.freedesktop.Notifications.
class DBusDesktopNotices final : public QObject, public DesktopNotices
{
    Q_OBJECT
public:
    DBusDesktopNotices();
    void progress(double fraction, bool visible) override;
    void notify(const QString &summary, const QString &body,
                std::function<void()> activated) override;
    void alert(QWidget *window) override;

private slots:
    void onActionInvoked(uint id, const QString &action);

private:
    bool connectBus();

    bool m_tried = false;
    bool m_connected = false;
    std::optional<uint> m_lastId; // what the service's answer to Notify named, if it did
    std::function<void()> m_activated;
};

} // namespace platform
