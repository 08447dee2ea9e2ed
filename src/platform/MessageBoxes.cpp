#include "MessageBoxes.h"

#include <QMessageBox>
#include <QPushButton>

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

bool QtMessageBoxes::confirm(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton *yes = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    QPushButton *no = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace platform
