#include "ModalDialogs.h"

#include <QDialog>

namespace platform {

void QtModalDialogs::exec(QDialog &dialog)
{
    dialog.exec();
}

} // namespace platform
