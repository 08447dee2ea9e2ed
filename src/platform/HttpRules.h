#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QString>
#include <QUrl>
#include <QVariant>

namespace platform {

// Whether a whole answer arrived, given its status (invalid: none came) and Qt's error. Qt
// files many statuses as errors (400, 404, 407, 418, 5xx ...); such an answer still came whole
// and its body counts. With a good status an error means the transfer broke.
bool AnswerArrived(const QVariant &status, QNetworkReply::NetworkError error);

// Why an answer that arrived is still no page (an interim status as the last answer, a length
// that is not one number), or empty when it is one. `contentLength` is the header as Qt gives
// it, repeated headers joined by commas.
QString BrokenAnswer(int status, const QByteArray &contentLength);

// Whether a redirect from `from` to `to` may be followed: to a web address other than `from`,
// never from https to http, never to an address carrying a user or password.
bool RedirectAllowed(const QUrl &from, const QUrl &to);

} // namespace platform
