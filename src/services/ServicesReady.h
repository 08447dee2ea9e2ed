#pragma once

#include "AppSettings.h"

namespace platform {
class LoopbackService;
}

// The services the program talks to, ready: those named neither at build nor at run time are
// the sample service that comes with the program (started from `standin` on a port the system
// picks, for as long as `sample` lives); links with no site of their own open the root of the
// statistics service in use. When the sample service cannot be started, `problem` says why
// (or stderr, without one).
AppSettings ServicesReady(AppSettings named, platform::LoopbackService &sample,
                          const QString &standin, QString *problem = nullptr);
