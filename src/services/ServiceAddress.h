#pragma once

#include <QString>

// A service's base address: http or https, a host, perhaps a port and a path prefix; nothing
// else (no user, query or fragment). Returns it without a trailing slash, or empty.
QString ServiceBase(const QString &value);

// Why `value` is refused as a service address, in the words the command line uses too.
QString NotAServiceAddress(const QString &value);
