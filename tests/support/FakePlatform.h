#pragma once

#include "Platform.h"

#include <QList>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

// Stands in for every operation that would block a test or leave the process. Each one answers
// at once and writes a line to `log`, so a test reads what the user was shown, in order:
//   "information <title>: <text>" / "warning <title>: <text>"   a message box
//   "confirm <title>: <text>"                                   a question, answered by `confirms`
//   "open <title>|<filter>|<folder or file>" / "save ..."       a file dialog
//   "start <command line>", "exit", "skin <path>|<password>", "clipboard <text>"
// What shows outside the window goes to `desktop` instead:
//   "progress <fraction>" / "progress off", "notify <summary>|<body>", "alert"
// Dialogs open without blocking, let the test act on them through onOpen, and return as if
// closed.
class FakePlatform final : platform::MessageBoxes,
                           platform::FileDialogs,
                           platform::ProcessLauncher,
                           platform::ProgramExit,
                           platform::Skin,
                           platform::ModalDialogs,
                           platform::Clipboard,
                           platform::DesktopNotices
{
public:
    QStringList log;
    QStringList desktop;
    QList<std::optional<QString>> fileAnswers; // opens and saves alike; none left: cancelled
    bool opens = true; // false: as on a desktop with no browser
    bool confirms = false; // the answer to a question: 确定 or 取消
    bool failsLater = false; // the opener starts, then finds no browser
    std::function<void()> onSkin;
    std::function<void(QDialog &)> onOpen;
    std::function<void()> activateNotice; // the last notification's default action
    QString clipboardText; // what a paste takes
    platform::Platform platform { *this, *this, *this, *this, *this, *this, *this, *this };

private:
    void show(QWidget *, const QString &text, platform::BoxIcon icon, const QString &title) override
    {
        log << (icon == platform::BoxIcon::Warning ? "warning " : "information ") + title + ": "
                + text;
    }
    bool confirm(QWidget *, const QString &text, const QString &title) override
    {
        log << "confirm " + title + ": " + text;
        return confirms;
    }
    std::optional<QString> openFile(QWidget *, const QString &title, const QString &filter,
                                    const QString &directory) override
    {
        return answer(QStringList({ "open " + title, filter, directory }).join(u'|'));
    }
    std::optional<QString> saveFile(QWidget *, const QString &title, const QString &filter,
                                    const QString &suggested) override
    {
        return answer(QStringList({ "save " + title, filter, suggested }).join(u'|'));
    }
    bool startDetached(const QString &commandLine,
                       const std::function<void()> &failedLater) override
    {
        log << "start " + commandLine;
        if (opens && failsLater)
            QTimer::singleShot(0, failedLater);
        return opens;
    }
    void endNow() override { log << "exit"; }
    int SkinH_AttachEx(const QString &path, const QString &password) override;
    void exec(QDialog &dialog) override;
    void setText(const QString &text) override { log << "clipboard " + text; }
    QString text() const override { return clipboardText; }

    std::optional<QString> answer(const QString &dialog);
    void progress(double fraction, bool visible) override
    {
        desktop << (visible ? QStringLiteral("progress %1").arg(fraction)
                            : QStringLiteral("progress off"));
    }
    void notify(const QString &summary, const QString &body,
                std::function<void()> activated) override
    {
        desktop << "notify " + summary + "|" + body;
        activateNotice = std::move(activated);
    }
    void alert(QWidget *) override { desktop << "alert"; }
};
