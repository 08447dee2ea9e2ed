#include "Skin.h"

#include <QApplication>
#include <QFile>

namespace platform {

int StyleSheetSkin::SkinH_AttachEx(const QString &path, const QString &password)
{
    Q_UNUSED(password);
    QFile file(path);
    const QByteArray sheet
        = file.open(QIODevice::ReadOnly | QIODevice::Text) ? file.readAll() : QByteArray();
    if (sheet.isEmpty() || file.error() != QFileDevice::NoError) {
        // The window still works unskinned; say why it looks plain.
        qWarning("skin not loaded from %s: %s", qPrintable(path), qPrintable(file.errorString()));
        return 1;
    }
    qApp->setStyleSheet(QString::fromUtf8(sheet));
    return 0;
}

} // namespace platform
