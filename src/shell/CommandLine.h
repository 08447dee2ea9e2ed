#pragma once

#include <optional>

// The program's names, version and command line. The options are read before any window
// exists, so --help and --version work without a display. Returns the exit status when the
// program should end at once (help, version, an unknown option), nothing when it should start.
std::optional<int> HandleCommandLine(int argc, char *argv[]);

// The application, organisation and desktop-file names Qt files its state under.
void SetApplicationNames();
