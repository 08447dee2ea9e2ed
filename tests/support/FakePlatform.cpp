#include "FakePlatform.h"

#include <QDialog>

int FakePlatform::SkinH_AttachEx(const QString &path, const QString &password)
{
    log << "skin " + path + u'|' + password;
    if (onSkin)
        onSkin();
    return 0;
}

void FakePlatform::exec(QDialog &dialog)
{
    dialog.show();
    dialog.activateWindow();
    if (onOpen)
        onOpen(dialog);
    dialog.close();
}

std::optional<QString> FakePlatform::answer(const QString &dialog)
{
    log << dialog;
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
}
