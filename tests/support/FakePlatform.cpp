#include "FakePlatform.h"

#include <QDialog>

void RecordingBoxes::show(QWidget *, const QString &text, platform::BoxIcon icon,
                          const QString &title)
{
    shown.append({ text, icon, title });
    if (onShow)
        onShow(shown.constLast());
}

std::optional<QString> ScriptedFileDialogs::openFile(QWidget *, const QString &title,
                                                     const QString &filter,
                                                     const QString &directory)
{
    calls.append({ title, filter, directory });
    if (answers.isEmpty())
        return std::nullopt;
    return answers.takeFirst();
}

std::optional<QString> ScriptedFileDialogs::saveFile(QWidget *parent, const QString &title,
                                                     const QString &filter,
                                                     const QString &suggestedPath)
{
    return openFile(parent, title, filter, suggestedPath);
}

int RecordingSkin::SkinH_AttachEx(const QString &path, const QString &password)
{
    paths << path;
    passwords << password;
    if (onAttach)
        onAttach();
    return 0;
}

void ScriptedDialogs::exec(QDialog &dialog)
{
    ++opened;
    dialog.show();
    dialog.activateWindow();
    if (onOpen)
        onOpen(dialog);
    dialog.close();
}
