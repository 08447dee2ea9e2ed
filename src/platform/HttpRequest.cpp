#include "HttpRequest.h"

#include "ContentDecoding.h"
#include "HttpRules.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

namespace platform {

namespace {

// Owned by the application object so that it goes before the network stack does.
QNetworkAccessManager &Manager()
{
    static QPointer<QNetworkAccessManager> manager;
    if (!manager)
        manager = new QNetworkAccessManager(QCoreApplication::instance());
    return *manager;
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

void HttpRequest::startTransfer(const QUrl &url, bool fresh)
{
    QNetworkRequest request(url);
    for (const auto &[name, value] : std::as_const(m_headers))
        request.setRawHeader(name, value);
    // Asked for by name, compressed bodies reach us as they came, so that one which is corrupt
    // or cut short is noticed (Qt's own unpacking passes both as pages).
    if (!request.hasRawHeader("Accept-Encoding"))
        request.setRawHeader("Accept-Encoding", "gzip, deflate");
    // Redirects are followed here rather than by Qt, which drops the body of a redirect it
    // cannot follow (no Location): that answer's body counts like any other.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    m_body.clear();
    // The second try of a request whose connection broke before any answer goes through a
    // manager of its own: a connection that no other request shares or has used.
    if (fresh && !m_freshManager)
        m_freshManager = new QNetworkAccessManager(this);
    QNetworkAccessManager &manager = fresh ? *m_freshManager : Manager();
    m_reply = manager.sendCustomRequest(request, m_method.toLatin1());
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpRequest::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpRequest::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &HttpRequest::onFinished);
}

bool HttpRequest::followRedirect()
{
    const QUrl from = m_reply->url();
    const QUrl to
        = from.resolved(m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
    if (!RedirectAllowed(from, to) || ++m_redirects > kMaxRedirects)
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
    // A kept-alive connection the server has just closed fails before any byte of an answer;
    // browsers and curl try such a request once more on a new connection, and so do we.
    if (!status.isValid() && m_body.isEmpty() && !m_retried
        && error != QNetworkReply::OperationCanceledError) {
        m_retried = true;
        const QUrl url = m_reply->url();
        m_reply->disconnect(this);
        m_reply->deleteLater();
        startTransfer(url, true);
        return;
    }
    if (!AnswerArrived(status, error)) {
        m_error = m_reply->errorString();
        m_body.clear();
    } else if (const QString broken
               = BrokenAnswer(status.toInt(), m_reply->rawHeader("Content-Length"));
               !broken.isEmpty()) {
        m_error = broken;
        m_body.clear();
    } else if (auto decoded
               = DecodeContent(m_body, m_reply->rawHeader("Content-Encoding"), m_bodyCap)) {
        m_body = *decoded;
    } else {
        m_error = QStringLiteral("the body could not be unpacked");
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
