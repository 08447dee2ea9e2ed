#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace net {

// Why an answer that arrived whole is still no page (a length that is not one number), or
// empty when it is one. `contentLength` holds the header's values, repeated ones joined by
// commas.
QString BrokenAnswer(const QByteArray &contentLength);

// Whether a redirect from `from` to `to` may be followed: to a web address other than `from`,
// never from https to http, never to an address carrying a user or password.
bool RedirectAllowed(const QUrl &from, const QUrl &to);

} // namespace net
