#include "Skin.h"

#include <QApplication>
#include <QFile>

namespace platform {

int StyleSheetSkin::SkinH_AttachEx(const QString &path, const QString &password)
{
    Q_UNUSED(password);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 1;
    const QByteArray sheet = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return 1;
    qApp->setStyleSheet(QString::fromUtf8(sheet));
    return 0;
}

} // namespace platform
