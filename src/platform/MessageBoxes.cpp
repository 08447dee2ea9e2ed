#include "MessageBoxes.h"

#include <QMessageBox>

namespace platform {

void QtMessageBoxes::show(QWidget *parent, const QString &text, BoxIcon icon, const QString &title)
{
    QMessageBox box(icon == BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::Information,
                    title, text, QMessageBox::Ok, parent);
    // Texts can carry what a server sent (a version text): never let them turn into markup.
    box.setTextFormat(Qt::PlainText);
    // A box may carry an address or a file name the user wants to copy.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

} // namespace platform
