#pragma once

#include <QString>

// The command line that opens a web site in the user's browser.
QString BrowserCommandLine(const QString &rootUrl);
