#pragma once

#include "AppSettings.h"

#include <QString>

// Asks the update service for its version file and the statistics service for the page of
// `domain`, and says what came back, one line each: the address, the HTTP status or the
// transfer's reason, the time taken, and whether a version and the four counts were found.
QString TestConnection(const AppSettings &services, const QString &domain);
