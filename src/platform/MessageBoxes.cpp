#include "MessageBoxes.h"

#include <QMessageBox>

namespace platform {

void QtMessageBoxes::show(QWidget *parent, const QString &text, BoxIcon icon, const QString &title)
{
    QMessageBox box(icon == BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::Information,
                    title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace platform
