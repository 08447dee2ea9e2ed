#include "Platform.h"

namespace platform {

Platform &SystemPlatform()
{
    static QtMessageBoxes boxes;
    static QtFileDialogs files;
    static QtProcessLauncher processes;
    static QtProgramExit exit;
    static StyleSheetSkin skin;
    static QtModalDialogs dialogs;
    static QtClipboard clipboard;
    static DBusDesktopNotices desktop;
    static Platform platform { boxes, files, processes, exit, skin, dialogs, clipboard, desktop };
    return platform;
}

} // namespace platform
