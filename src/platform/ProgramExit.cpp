#include "ProgramExit.h"

#include <QApplication>

namespace platform {

void QtProgramExit::endNow()
{
    // Hiding first makes the windows go away at once; exit() also ends every nested event
    // loop, so a handler waiting on the network unwinds instead of keeping the process alive.
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

} // namespace platform
