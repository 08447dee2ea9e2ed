#pragma once

class QWidget;

namespace platform {

// Roles assistive technologies know these controls by, where Qt gives a plain widget none: a
// main window is a frame, the status bar a status bar.
void ReadOutAsFrame(QWidget *window);
void ReadOutAsStatusBar(QWidget *bar);

} // namespace platform
