#include "DesktopNotices.h"
#include "ProcessLauncher.h"
#include "SessionBusProbe.h"
#include "SingleInstance.h"
#include "TestFiles.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QLocalServer>
#include <QProcess>
#include <QtTest>
#include <future>

// Stands in for the desktop's notification service on the test's own bus; a broken one answers
// Notify with the wrong type.
class NotificationService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList calls;
    bool broken = false;

public slots:
    uint Notify(const QString &app, uint, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &, int)
    {
        calls << QStringList({ app, icon, summary, body, actions.join(u',') }).join(u'|');
        if (broken) {
            setDelayedReply(true);
            connection().send(message().createReply(QString("no id")));
        }
        return 42;
    }
};

// The launcher progress and the end-of-run notification, against a real private session bus.
class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        bus.setProgram(QStringLiteral("dbus-daemon"));
        // Its socket in a folder of the test's own, gone with it, instead of one left in /tmp.
        bus.setArguments({ "--session", "--nofork", "--print-address=1",
                           "--address=unix:dir=" + socketDir.path() });
        bus.start();
        QVERIFY2(bus.waitForStarted(), "dbus-daemon (package dbus) is missing");
        QTRY_VERIFY(bus.canReadLine());
        address = QString::fromUtf8(bus.readLine()).trimmed();
        // The program's own connection is the session bus, made on first use.
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    }
    void cleanupTestCase()
    {
        bus.kill();
        bus.waitForFinished();
    }

    // A web page goes to xdg-open; one that cannot be started, or that ends in failure (no
    // browser installed), is a failure the window can tell the user of.
    void openingAPage()
    {
        QTemporaryDir bin;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8());
        platform::QtProcessLauncher launcher;
        int failures = 0;
        const auto failed = [&] { ++failures; };
        QVERIFY(!launcher.startDetached("explorer.exe http://127.0.0.1:9/", failed));
        QFile::setPermissions(WriteFile(bin.filePath("xdg-open"), "#!/bin/sh\nexit 3\n"),
                              QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(launcher.startDetached("explorer.exe http://127.0.0.1:9/", failed));
        QTRY_COMPARE_WITH_TIMEOUT(failures, 1, 60'000);
        qputenv("PATH", path);
    }

    // A later start hands its file to the window already open on its display; a socket left by
    // a crash never blocks a start; each display has its own, the offscreen platform none.
    void oneWindowPerDisplay()
    {
        using platform::SingleInstance;
        QTemporaryDir runtime;
        const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR"), display = qgetenv("DISPLAY"),
                         tmpBefore = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", runtimeBefore);
            qputenv("DISPLAY", display);
            tmpBefore.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpBefore);
        });
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        qputenv("DISPLAY", ":7");
        const QString socket = SingleInstance::socketFor("xcb");
        QVERIFY(socket.startsWith(runtime.path()));
        QVERIFY(SingleInstance::socketFor("offscreen").isEmpty());
        qputenv("DISPLAY", ":8");
        QVERIFY(SingleInstance::socketFor("xcb") != socket);
        // Without a runtime folder, a folder of the user's own in the temporary one, never one
        // that others may write to.
        QTemporaryDir tmp;
        qputenv("TMPDIR", tmp.path().toUtf8());
        qunsetenv("XDG_RUNTIME_DIR");
        QVERIFY(SingleInstance::socketFor("xcb").startsWith(tmp.path() + "/varnel-index-query-"));
        QFile::setPermissions(QFileInfo(SingleInstance::socketFor("xcb")).path(),
                              QFile::Permissions(0x7777));
        QVERIFY(SingleInstance::socketFor("xcb").isEmpty());
        qunsetenv("DISPLAY");
        QVERIFY(SingleInstance::socketFor("xcb").isEmpty());

        // Each later start in a thread of its own, as if in a process of its own.
        const auto later = [&socket](const QString &file) {
            return std::async(std::launch::async,
                              [&socket, file] { return SingleInstance(socket).handOver(file); });
        };
        WriteFile(socket, "left by a crash");
        QVERIFY(!later("/a.txt").get());
        SingleInstance first(socket);
        QVERIFY(first.listen());
        QStringList asked;
        connect(&first, &SingleInstance::asked, this, [&](const QString &file) { asked << file; });
        for (const QString &file : { QString("/home/u/列表 1.txt"), QString() }) {
            std::future<bool> handed = later(file);
            QTRY_VERIFY(handed.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
            QVERIFY(handed.get());
        }
        QCOMPARE(asked, QStringList({ "/home/u/列表 1.txt", "" }));
    }

    void progressAndNotification()
    {
        // A bus that accepts and never answers is found out, within the limit; ours answers.
        QLocalServer silent;
        QVERIFY(silent.listen(socketDir.filePath("silent")));
        QVERIFY(!platform::SessionBusAnswers("unix:path=" + silent.fullServerName(), 100));
        QVERIFY(platform::SessionBusAnswers(address, 60'000));

        QDBusConnection desktop = QDBusConnection::connectToBus(address, "desktop");
        QVERIFY(desktop.isConnected());
        NotificationService service;
        QVERIFY(desktop.registerObject("/org/freedesktop/Notifications", &service,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(desktop.registerService("org.freedesktop.Notifications"));
        QVERIFY(desktop.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update", this,
                                SLOT(onUpdate(QString, QVariantMap))));

        platform::DBusDesktopNotices notices;
        notices.progress(0.25, true);
        notices.progress(0, false);
        QTRY_COMPARE(updates.size(), 2);
        QCOMPARE(updates.first(),
                 QString("application://com.varnel.IndexQuery.desktop progress=0.25 visible=1"));
        QCOMPARE(updates.last(),
                 QString("application://com.varnel.IndexQuery.desktop progress=0 visible=0"));

        bool activated = false;
        notices.notify("标题", "共3个域名：有结果2个，失败1个", [&] { activated = true; });
        QTRY_COMPARE(service.calls.size(), 1);
        QCOMPARE(
            service.calls.first(),
            QString("%1|com.varnel.IndexQuery|标题|共3个域名：有结果2个，失败1个|default,显示窗口")
                .arg(QCoreApplication::applicationName()));

        // A click on another notification does nothing; on ours, its action runs.
        const auto click = [&desktop](uint id) {
            QDBusMessage clicked = QDBusMessage::createSignal(
                "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
            return desktop.send(clicked << id << QString("default"));
        };
        QVERIFY(click(7) && click(42));
        QTRY_VERIFY(activated);

        // A service that answers with the wrong types names no notification: a click said to
        // be on id 0 is not on ours.
        service.broken = true;
        platform::DBusDesktopNotices fresh;
        bool raised = false;
        fresh.notify("标题", "正文", [&] { raised = true; });
        QTRY_COMPARE(service.calls.size(), 2);
        QVERIFY(click(0));
        // Round trips on both connections: the bus has routed the click, and it has arrived.
        const QDBusMessage ping = QDBusMessage::createMethodCall(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Peer", "Ping");
        QCOMPARE(desktop.call(ping).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(QDBusConnection::sessionBus().call(ping).type(), QDBusMessage::ReplyMessage);
        QCoreApplication::processEvents();
        QVERIFY(!raised);

        desktop.unregisterService("org.freedesktop.Notifications");
        notices.notify("标题", "正文", [] {}); // no service: neither a crash nor a wait
    }

    void onUpdate(const QString &app, const QVariantMap &properties)
    {
        updates << QString("%1 progress=%2 visible=%3")
                       .arg(app)
                       .arg(properties.value("progress").toDouble())
                       .arg(properties.value("progress-visible").toBool());
    }

private:
    QTemporaryDir socketDir;
    QProcess bus;
    QString address;
    QStringList updates;
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
