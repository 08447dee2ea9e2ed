#include "DesktopNotices.h"

#include "SessionBusProbe.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace platform {

namespace {

const QString kAppUri = QStringLiteral("application://com.varnel.IndexQuery.desktop");
const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString kNotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr int kBusAnswerMs = 1000;

} // namespace

DBusDesktopNotices::DBusDesktopNotices() = default;

bool DBusDesktopNotices::connectBus()
{
    if (!m_tried) {
        m_tried = true; // once: a bus that failed is not asked again
        // Qt's connection would wait for a silent bus without a limit, with the window frozen.
        const QString address = SessionBusAddress();
        if (address.isEmpty() || !SessionBusAnswers(address, kBusAnswerMs))
            return false;
        QDBusConnection bus = QDBusConnection::sessionBus();
        m_connected = bus.isConnected();
        if (m_connected)
            bus.connect(kNotifications, kNotificationsPath, kNotifications,
                        QStringLiteral("ActionInvoked"), this,
                        SLOT(onActionInvoked(uint, QString)));
    }
    return m_connected;
}

void DBusDesktopNotices::progress(double fraction, bool visible)
{
    if (!connectBus())
        return;
    QDBusMessage update = QDBusMessage::createSignal(
        QStringLiteral("/com/varnel/IndexQuery"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    update << kAppUri
           << QVariantMap { { QStringLiteral("progress"), fraction },
                            { QStringLiteral("progress-visible"), visible } };
    QDBusConnection::sessionBus().send(update);
}

void DBusDesktopNotices::notify(const QString &summary, const QString &body,
                                std::function<void()> activated)
{
    if (!connectBus())
        return;
    m_activated = std::move(activated);
    m_lastId.reset();
    QDBusMessage call = QDBusMessage::createMethodCall(kNotifications, kNotificationsPath,
                                                       kNotifications, QStringLiteral("Notify"));
    call << QCoreApplication::applicationName() << uint(0)
         << QStringLiteral("com.varnel.IndexQuery") << summary << body
         << QStringList { QStringLiteral("default"), QStringLiteral("显示窗口") }
         << QVariantMap { { QStringLiteral("desktop-entry"),
                            QStringLiteral("com.varnel.IndexQuery") } }
         << int(-1);
    // Never waited for: without a notification service the call just fails, later.
    auto *watcher
        = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isValid())
            m_lastId = reply.value();
        w->deleteLater();
    });
}

void DBusDesktopNotices::onActionInvoked(uint id, const QString &action)
{
    if (m_lastId && id == *m_lastId && action == QLatin1String("default") && m_activated)
        m_activated();
}

void DBusDesktopNotices::alert(QWidget *window)
{
    QApplication::alert(window);
}

} // namespace platform
