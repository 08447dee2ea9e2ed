#pragma once

class QObject;

namespace platform {

// Shift+F10 opens the focused control's context menu, as the Menu key does: the key many
// keyboards lack and screen-reader users are taught. Lives as long as `owner`.
void OpenContextMenusOnShiftF10(QObject *owner);

} // namespace platform
