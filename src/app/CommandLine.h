#pragma once

#include "BatchRun.h"

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks for.
struct CommandLine
{
    std::optional<int> exitStatus; // end at once with this status (help, version, a bad option)
    QString output; // what to print before ending: to stdout when the status is 0, else stderr
    QString statsUrl; // a statistics service named at run time, or empty
    QString updateUrl; // an update server named at run time, or empty
    std::optional<BatchOptions> batch; // a run without a window
    QStringList listFiles; // lists to open in the window, as "Open with" names them
    QString historyFile; // named with --history-file, or empty
    bool noHistory = false;
    bool serviceSettings = false; // the window opens with 服务设置… showing
};

// Reads `arguments` (the program's name first). Qt's own options (-platform, -session,
// -geometry ...) are let through for the toolkit.
CommandLine ParseCommandLine(const QStringList &arguments);

// Where this start keeps its history: the file named, the user's data folder's, or nowhere.
// Needs the application's names set.
QString HistoryFileOf(const CommandLine &line);

// The program's names, version and command line. The options are read before any window
// exists, so --help and --version work without a display.
CommandLine HandleCommandLine(int argc, char *argv[]);

// The application, organisation and desktop-file names Qt files its state under.
void SetApplicationNames();
