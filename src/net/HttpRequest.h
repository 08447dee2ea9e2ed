#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <QUrl>

class QTimer;
typedef void CURL;
struct curl_slist;

namespace net {

// The asynchronous HTTP request object: open, set headers, send, poll the ready state, read
// the body as text. One object carries one request. Failures are values, never exceptions:
// an operation that cannot be done returns false and errorString() says why.
class HttpRequest : public QObject
{
    Q_OBJECT
public:
    // The transport gives up on a transfer after this long ...
    static constexpr int kTimeLimitMs = 30'000;
    // ... and will not hold a body larger than this.
    static constexpr qint64 kBodyCap = 16 * 1024 * 1024;
    // Redirects followed before the answer in hand counts as the answer.
    static constexpr int kMaxRedirects = 10;

    enum ReadyState { Unsent = 0, Opened = 1, HeadersReceived = 2, Loading = 3, Done = 4 };
    // What kind of failure ended a transfer, for the user's words.
    enum class Failure { None, TimedOut, NoConnection, Broken, Aborted };

    explicit HttpRequest(QObject *parent = nullptr);
    ~HttpRequest() override;

    void setLimits(int timeLimitMs, qint64 bodyCap);
    // Reached without a proxy whatever the environment names (http_proxy, https_proxy,
    // all_proxy, no_proxy, which curl honours otherwise).
    void setDirect(bool direct) { m_direct = direct; }
    // Through this proxy ("host:port") whatever the environment names; empty: as the
    // environment says. Not used when direct.
    void setProxy(const QString &proxy) { m_proxy = proxy.toUtf8(); }

    bool open(const QString &method, const QString &url, bool async);
    bool setRequestHeader(const QString &name, const QString &value);
    bool send();
    void abort(const QString &why);

    int readyState() const { return m_state; }
    // The body decoded as UTF-8, or by its byte-order mark when it carries another one.
    QString responseText() const;
    // Empty unless the transfer failed (refused, reset, timed out, over the cap ...).
    QString errorString() const { return m_error; }
    Failure failure() const { return m_failure; }
    // The final answer's HTTP status, 0 when none came.
    int status() const { return m_status; }

signals:
    void completed();

private:
    void startTransfer(const QUrl &url, bool fresh = false);
    void endTransfer();
    bool followRedirect();
    void onTransferDone(int result);
    void fail(const QString &why, Failure kind);
    static size_t onBody(char *data, size_t size, size_t count, void *request);
    static size_t onHeader(char *data, size_t size, size_t count, void *request);

    QString m_method;
    QString m_url;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    QUrl m_current;
    CURL *m_easy = nullptr;
    curl_slist *m_headerList = nullptr;
    QByteArray m_curlError; // curl's own words for a failure
    QTimer *m_timer = nullptr;
    QByteArray m_body;
    // Of the answer in hand (an interim one's are dropped when the next begins).
    QByteArray m_contentLength;
    QString m_brokenAnswer; // why the headers make the answer unreadable
    QByteArray m_contentEncoding;
    bool m_overCap = false;
    QString m_error;
    Failure m_failure = Failure::None;
    int m_status = 0;
    int m_state = Unsent;
    int m_redirects = 0;
    bool m_retried = false;
    int m_timeLimitMs = kTimeLimitMs;
    qint64 m_bodyCap = kBodyCap;
    bool m_direct = false;
    QByteArray m_proxy;
};

// Decodes a response body: UTF-8 unless it starts with the byte-order mark of another Unicode
// encoding. A byte-order mark is never part of the text.
QString DecodeBody(const QByteArray &body);

} // namespace net
