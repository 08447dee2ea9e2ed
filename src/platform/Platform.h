#pragma once

#include "Clipboard.h"
#include "DesktopNotices.h"
#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "ModalDialogs.h"
#include "ProcessLauncher.h"
#include "ProgramExit.h"
#include "Skin.h"

namespace platform {

// Everything that shows a modal window or leaves the process. Tests hand in doubles.
struct Platform
{
    MessageBoxes &boxes;
    FileDialogs &files;
    ProcessLauncher &processes;
    ProgramExit &exit;
    Skin &skin;
    ModalDialogs &dialogs;
    Clipboard &clipboard;
    DesktopNotices &desktop;
};

// The real operations, over Qt.
Platform &SystemPlatform();

} // namespace platform
