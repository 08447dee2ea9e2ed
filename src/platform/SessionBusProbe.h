#pragma once

#include <QString>

namespace platform {

// Whether the session bus at `address` (DBUS_SESSION_BUS_ADDRESS's form) answers the first
// step of a connection within `limitMs`. Qt's own connection waits with no limit, so a bus that
// accepts and never answers would freeze the window. Addresses of other transports than unix
// sockets are taken on trust.
bool SessionBusAnswers(const QString &address, int limitMs);

// The session bus's address as the environment gives it, or its usual place; empty when there
// is none.
QString SessionBusAddress();

} // namespace platform
