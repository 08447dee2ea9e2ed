#include "HttpRules.h"

#include <QList>

namespace net {

QString BrokenAnswer(const QByteArray &contentLength)
{
    if (contentLength.isNull())
        return {};
    // Two different lengths, or none that reads as one, and no one knows where the body ends.
    const QList<QByteArray> lengths = contentLength.split(',');
    for (const QByteArray &length : lengths) {
        bool number = false;
        const qint64 value = length.trimmed().toLongLong(&number);
        if (!number || value < 0 || length.trimmed() != lengths.first().trimmed())
            return QStringLiteral("a Content-Length that is not one length: %1")
                .arg(QString::fromLatin1(contentLength));
    }
    return {};
}

bool RedirectAllowed(const QUrl &from, const QUrl &to)
{
    const bool web = to.scheme() == QLatin1String("http") || to.scheme() == QLatin1String("https");
    const bool lessSafe
        = from.scheme() == QLatin1String("https") && to.scheme() == QLatin1String("http");
    // A user and password in the target would be sent in clear when that server asks.
    const bool credentials = !to.userInfo().isEmpty();
    return to.isValid() && to != from && web && !lessSafe && !credentials;
}

} // namespace net
