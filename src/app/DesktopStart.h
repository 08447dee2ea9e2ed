#pragma once

#include <QString>
#include <QStringList>

// What the window's start needs of the desktop before Qt's window system starts.

// The platform the window would start on: -platform's, else QT_QPA_PLATFORM's, else the
// toolkit's default (empty).
QString ChosenPlatform(const QStringList &arguments);

// The line to end with when the window has nowhere to show (a display platform and neither
// DISPLAY nor WAYLAND_DISPLAY set), or empty. Qt itself would abort in English.
QString NoDisplayProblem(const QString &platform);

// Without a session bus named or at its usual place, names that usual place: libdbus would
// otherwise start a bus of its own through dbus-launch, which outlives the program.
void NeverAutolaunchSessionBus();
