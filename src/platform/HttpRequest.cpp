#include "HttpRequest.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

namespace platform {

namespace {

QNetworkAccessManager &Manager()
{
    // Owned by the application object so that it goes before the network stack does.
    static QPointer<QNetworkAccessManager> manager;
    if (!manager)
        manager = new QNetworkAccessManager(QCoreApplication::instance());
    return *manager;
}

// Qt files many status codes as errors (400, 404, 407, 418, a redirect without a Location, 5xx
// ...); such an answer still arrived whole and its body counts. Only a transfer that brought no
// answer, or broke off inside it, is a failure: the network-layer errors and a framing fault.
bool AnswerArrived(const QVariant &status, QNetworkReply::NetworkError error)
{
    if (!status.isValid())
        return false;
    if (error == QNetworkReply::NoError)
        return true;
    return error >= QNetworkReply::ProxyConnectionRefusedError
        && error != QNetworkReply::ProtocolFailure && error != QNetworkReply::ContentReSendError;
}

} // namespace

QString DecodeBody(const QByteArray &body)
{
    const auto encoding = QStringConverter::encodingForData(body);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    return decoder.decode(body);
}

HttpRequest::HttpRequest(QObject *parent)
    : QObject(parent)
{
}

HttpRequest::~HttpRequest()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void HttpRequest::setLimits(int timeLimitMs, qint64 bodyCap)
{
    m_timeLimitMs = timeLimitMs;
    m_bodyCap = bodyCap;
}

bool HttpRequest::open(const QString &method, const QString &url, bool async)
{
    if (!async) {
        m_error = QStringLiteral("only asynchronous requests are supported");
        return false;
    }
    // Method names are matched without regard to case and sent in upper case, as browsers do.
    m_method = method.toUpper();
    if (m_method != QLatin1String("GET") && m_method != QLatin1String("HEAD")) {
        m_error = QStringLiteral("unsupported method: %1").arg(method);
        return false;
    }
    const QUrl parsed(url);
    if (!parsed.isValid() || parsed.isRelative() || parsed.host().isEmpty()) {
        m_error = QStringLiteral("not an absolute URL: %1").arg(url);
        return false;
    }
    m_url = url;
    m_state = Opened;
    return true;
}

bool HttpRequest::setRequestHeader(const QString &name, const QString &value)
{
    if (m_state != Opened || m_reply) {
        m_error = QStringLiteral("headers can only be set between open and send");
        return false;
    }
    m_headers.append({ name.toLatin1(), value.toLatin1() });
    return true;
}

bool HttpRequest::send()
{
    if (m_state != Opened || m_reply) {
        m_error = QStringLiteral("send needs an opened, unsent request");
        return false;
    }
    startTransfer(QUrl(m_url));
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("no complete answer within %1 ms").arg(m_timeLimitMs)); });
    m_timer->start(m_timeLimitMs);
    return true;
}

void HttpRequest::startTransfer(const QUrl &url)
{
    QNetworkRequest request(url);
    for (const auto &[name, value] : std::as_const(m_headers))
        request.setRawHeader(name, value);
    // Redirects are followed here rather than by Qt, which drops the body of a redirect it
    // cannot follow (no Location): that answer's body counts like any other.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    m_body.clear();
    m_reply = Manager().sendCustomRequest(request, m_method.toLatin1());
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpRequest::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpRequest::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &HttpRequest::onFinished);
}

bool HttpRequest::followRedirect()
{
    const QUrl from = m_reply->url();
    const QUrl to
        = from.resolved(m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
    const bool web = to.scheme() == QLatin1String("http") || to.scheme() == QLatin1String("https");
    const bool lessSafe
        = from.scheme() == QLatin1String("https") && to.scheme() == QLatin1String("http");
    if (to == from || !to.isValid() || !web || lessSafe || ++m_redirects > kMaxRedirects)
        return false;
    m_reply->disconnect(this);
    m_reply->deleteLater();
    startTransfer(to);
    return true;
}

void HttpRequest::abort(const QString &why)
{
    fail(why);
}

QString HttpRequest::responseText() const
{
    return DecodeBody(m_body);
}

void HttpRequest::onMetaData()
{
    if (m_state < HeadersReceived)
        m_state = HeadersReceived;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_bodyCap)
        fail(QStringLiteral("body larger than %1 bytes").arg(m_bodyCap));
}

void HttpRequest::onReadyRead()
{
    m_state = Loading;
    m_body += m_reply->readAll();
    if (m_body.size() > m_bodyCap)
        fail(QStringLiteral("body larger than %1 bytes").arg(m_bodyCap));
}

void HttpRequest::onFinished()
{
    if (m_state == Done)
        return;
    const auto error = m_reply->error();
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (error == QNetworkReply::NoError
        && m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid()
        && followRedirect())
        return;
    m_body += m_reply->readAll();
    if (!AnswerArrived(status, error)) {
        m_error = m_reply->errorString();
        m_body.clear();
    }
    if (m_timer)
        m_timer->stop();
    m_reply->deleteLater();
    m_reply = nullptr;
    m_state = Done;
    emit completed();
}

void HttpRequest::fail(const QString &why)
{
    if (m_state == Done)
        return;
    m_error = why;
    m_body.clear();
    if (m_timer)
        m_timer->stop();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    m_state = Done;
    emit completed();
}

} // namespace platform
