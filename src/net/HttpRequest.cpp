#include "HttpRequest.h"

#include "ContentDecoding.h"
#include "CurlDriver.h"
#include "HttpRules.h"

#include <QStringDecoder>
#include <QTimer>

namespace net {

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
    endTransfer();
    curl_slist_free_all(m_headerList);
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
    if (m_state != Opened || m_timer) {
        m_error = QStringLiteral("headers can only be set between open and send");
        return false;
    }
    m_headers.append({ name.toLatin1(), value.toLatin1() });
    return true;
}

bool HttpRequest::send()
{
    if (m_state != Opened || m_timer) {
        m_error = QStringLiteral("send needs an opened, unsent request");
        return false;
    }
    bool acceptEncoding = false;
    for (const auto &[name, value] : std::as_const(m_headers)) {
        // curl sends a header with nothing after the colon only when it ends in ";".
        const QByteArray line = value.isEmpty() ? name + ';' : name + ": " + value;
        m_headerList = curl_slist_append(m_headerList, line.constData());
        acceptEncoding |= name.compare("Accept-Encoding", Qt::CaseInsensitive) == 0;
    }
    // Asked for by name and unpacked here rather than by curl, so that a compressed body that
    // is corrupt, cut short or followed by garbage is noticed.
    if (!acceptEncoding)
        m_headerList = curl_slist_append(m_headerList, "Accept-Encoding: gzip, deflate");
    startTransfer(QUrl(m_url));
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("no complete answer within %1 ms").arg(m_timeLimitMs),
             Failure::TimedOut);
    });
    m_timer->start(m_timeLimitMs);
    return true;
}

void HttpRequest::startTransfer(const QUrl &url, bool fresh)
{
    m_current = url;
    m_body.clear();
    m_contentLength.clear();
    m_contentEncoding.clear();
    m_curlError = QByteArray(CURL_ERROR_SIZE, '\0');
    m_easy = curl_easy_init();
    curl_easy_setopt(m_easy, CURLOPT_URL, url.toEncoded().constData());
    curl_easy_setopt(m_easy, CURLOPT_NOBODY, long(m_method == QLatin1String("HEAD")));
    curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, m_headerList);
    curl_easy_setopt(m_easy, CURLOPT_USERAGENT, "Mozilla/5.0");
    curl_easy_setopt(m_easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(m_easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // Redirects are followed here, by our own rules, and one that is not followed keeps its
    // body as the answer.
    curl_easy_setopt(m_easy, CURLOPT_FOLLOWLOCATION, 0L);
    if (m_direct) {
        curl_easy_setopt(m_easy, CURLOPT_PROXY, "");
    } else if (!m_proxy.isEmpty()) {
        curl_easy_setopt(m_easy, CURLOPT_PROXY, m_proxy.constData());
        curl_easy_setopt(m_easy, CURLOPT_NOPROXY, ""); // the user's choice, for every host
    }
    curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(m_bodyCap));
    curl_easy_setopt(m_easy, CURLOPT_ERRORBUFFER, m_curlError.data());
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &HttpRequest::onBody);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, &HttpRequest::onHeader);
    curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, this);
    // The second try of a request whose connection broke before any answer: on a connection
    // that no other request has used, and that none will use after it.
    curl_easy_setopt(m_easy, CURLOPT_FRESH_CONNECT, long(fresh));
    curl_easy_setopt(m_easy, CURLOPT_FORBID_REUSE, long(fresh));
    CurlDriver::instance().start(m_easy, [this](CURLcode result) { onTransferDone(result); });
}

void HttpRequest::endTransfer()
{
    if (!m_easy)
        return;
    CurlDriver::instance().cancel(m_easy);
    curl_easy_cleanup(m_easy);
    m_easy = nullptr;
}

size_t HttpRequest::onBody(char *data, size_t size, size_t count, void *request)
{
    auto *self = static_cast<HttpRequest *>(request);
    self->m_state = Loading;
    if (self->m_body.size() + qint64(size * count) > self->m_bodyCap) {
        self->m_overCap = true;
        return 0; // curl ends the transfer
    }
    self->m_body.append(data, qsizetype(size * count));
    return size * count;
}

size_t HttpRequest::onHeader(char *data, size_t size, size_t count, void *request)
{
    auto *self = static_cast<HttpRequest *>(request);
    const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed();
    if (line.startsWith("HTTP/")) { // the status line of a new answer, after an interim one
        self->m_contentLength.clear();
        self->m_contentEncoding.clear();
    } else if (line.isEmpty() && self->m_state < HeadersReceived) {
        self->m_state = HeadersReceived;
    }
    // No one knows where a body of two lengths ends: broken now, not after a wait for bytes
    // that may never come.
    if (line.isEmpty()) {
        self->m_brokenAnswer = BrokenAnswer(self->m_contentLength);
        if (!self->m_brokenAnswer.isEmpty())
            return 0;
    }
    const qsizetype colon = line.indexOf(':');
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    // Repeated headers joined by commas, as one header with a list would read.
    QByteArray *kept = name == "content-length" ? &self->m_contentLength
        : name == "content-encoding"            ? &self->m_contentEncoding
                                                : nullptr;
    if (colon > 0 && kept)
        *kept = kept->isNull() ? value : *kept + ", " + value;
    return size * count;
}

bool HttpRequest::followRedirect()
{
    const char *location = nullptr;
    curl_easy_getinfo(m_easy, CURLINFO_REDIRECT_URL, &location);
    if (!location)
        return false;
    const QUrl to = QUrl::fromEncoded(location);
    if (!RedirectAllowed(m_current, to) || ++m_redirects > kMaxRedirects)
        return false;
    endTransfer();
    startTransfer(to);
    return true;
}

void HttpRequest::abort(const QString &why)
{
    fail(why, Failure::Aborted);
}

QString HttpRequest::responseText() const
{
    return DecodeBody(m_body);
}

namespace {

// A transfer that failed: no answer at all (nobody there, no trust, gone before answering), too
// slow, or an answer that broke on the way.
HttpRequest::Failure TransferFailure(int result, long status)
{
    if (result == CURLE_OPERATION_TIMEDOUT)
        return HttpRequest::Failure::TimedOut;
    if (status != 0) // an answer began
        return HttpRequest::Failure::Broken;
    switch (result) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        return HttpRequest::Failure::NoConnection;
    case CURLE_RECV_ERROR:
        return HttpRequest::Failure::NoConnection;
    default:
        return HttpRequest::Failure::Broken;
    }
}

} // namespace

void HttpRequest::onTransferDone(int result)
{
    long status = 0;
    curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &status);
    if (result == CURLE_OK && status >= 300 && status < 400 && followRedirect())
        return;
    // A kept-alive connection the server has just closed fails before any byte of an answer;
    // browsers and curl try such a request once more on a new connection, and so do we.
    if (result != CURLE_OK && status == 0 && m_body.isEmpty() && !m_retried) {
        m_retried = true;
        endTransfer();
        startTransfer(m_current, true);
        return;
    }
    m_status = int(status);
    if (!m_brokenAnswer.isEmpty()) {
        m_error = m_brokenAnswer;
        m_failure = Failure::Broken;
    } else if (m_overCap || result == CURLE_FILESIZE_EXCEEDED) {
        m_error = QStringLiteral("body larger than %1 bytes").arg(m_bodyCap);
        m_failure = Failure::Broken;
    } else if (result != CURLE_OK) {
        m_error = QString::fromUtf8(m_curlError.constData());
        if (m_error.isEmpty())
            m_error = QString::fromUtf8(curl_easy_strerror(CURLcode(result)));
        m_failure = TransferFailure(result, status);
    } else if (const QString broken = BrokenAnswer(m_contentLength); !broken.isEmpty()) {
        m_error = broken;
        m_failure = Failure::Broken;
    } else if (auto decoded = DecodeContent(m_body, m_contentEncoding, m_bodyCap)) {
        m_body = *decoded;
    } else {
        m_error = QStringLiteral("the body could not be unpacked");
        m_failure = Failure::Broken;
    }
    if (m_failure != Failure::None)
        m_body.clear();
    if (m_timer)
        m_timer->stop();
    endTransfer();
    m_state = Done;
    emit completed();
}

void HttpRequest::fail(const QString &why, Failure kind)
{
    if (m_state == Done)
        return;
    m_error = why;
    m_failure = kind;
    m_body.clear();
    if (m_timer)
        m_timer->stop();
    endTransfer();
    m_state = Done;
    emit completed();
}

} // namespace net
