#pragma once

#include "Platform.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Doubles for every operation that would block a test or leave the process. Each records what
// it was asked and answers at once.

struct ShownBox
{
    QString text;
    platform::BoxIcon icon;
    QString title;
};

class RecordingBoxes final : public platform::MessageBoxes
{
public:
    void show(QWidget *parent, const QString &text, platform::BoxIcon icon,
              const QString &title) override;
    QList<ShownBox> shown;
    std::function<void(const ShownBox &)> onShow; // runs while the "box" is open
};

struct FileDialogCall
{
    QString title;
    QString filter;
    QString directory; // or the suggested file, for a save
};

class ScriptedFileDialogs final : public platform::FileDialogs
{
public:
    std::optional<QString> openFile(QWidget *parent, const QString &title, const QString &filter,
                                    const QString &directory) override;
    std::optional<QString> saveFile(QWidget *parent, const QString &title, const QString &filter,
                                    const QString &suggestedPath) override;
    // The answers to give, first one first, opens and saves alike; with none left the user
    // cancels.
    QList<std::optional<QString>> answers;
    QList<FileDialogCall> calls;
};

class RecordingClipboard final : public platform::Clipboard
{
public:
    void setText(const QString &text) override { this->text = text; }
    QString text;
};

class RecordingLauncher final : public platform::ProcessLauncher
{
public:
    bool startDetached(const QString &commandLine) override
    {
        started << commandLine;
        return opens;
    }
    QStringList started;
    bool opens = true; // false: as on a desktop with no browser
};

class RecordingExit final : public platform::ProgramExit
{
public:
    void endNow() override
    {
        ++calls;
        if (onEnd)
            onEnd();
    }
    int calls = 0;
    std::function<void()> onEnd;
};

class RecordingSkin final : public platform::Skin
{
public:
    int SkinH_AttachEx(const QString &path, const QString &password) override;
    QStringList paths;
    QStringList passwords;
    std::function<void()> onAttach;
};

// Opens the dialog without blocking, lets the test act on it, and returns as if it had closed.
class ScriptedDialogs final : public platform::ModalDialogs
{
public:
    void exec(QDialog &dialog) override;
    std::function<void(QDialog &)> onOpen;
    int opened = 0;
};

struct FakePlatform
{
    RecordingBoxes boxes;
    ScriptedFileDialogs files;
    RecordingLauncher processes;
    RecordingExit exit;
    RecordingSkin skin;
    ScriptedDialogs dialogs;
    RecordingClipboard clipboard;
    platform::Platform platform { boxes, files, processes, exit, skin, dialogs, clipboard };
};
