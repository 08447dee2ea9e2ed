#pragma once

#include <QObject>
#include <QTimer>

#include <curl/curl.h>
#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;

namespace net {

// Runs libcurl's transfers on Qt's event loop: curl says which sockets it waits on and when it
// next needs a call, and the loop tells it when one is ready. Nothing blocks and no thread is
// started, so a transfer advances inside whatever loop is running, nested waits included.
class CurlDriver : public QObject
{
    Q_OBJECT
public:
    // The one driver, owned by the application object so that it goes before curl's globals.
    static CurlDriver &instance();
    ~CurlDriver() override;

    // Starts `easy`; `done` gets its result once it has ended, from the event loop.
    void start(CURL *easy, std::function<void(CURLcode)> done);
    // Takes `easy` out unfinished; its `done` is never called.
    void cancel(CURL *easy);

private:
    struct Watch
    {
        std::unique_ptr<QSocketNotifier> read;
        std::unique_ptr<QSocketNotifier> write;
    };

    explicit CurlDriver(QObject *parent);
    static int onSocket(CURL *easy, curl_socket_t socket, int what, void *driver, void *);
    static int onTimer(CURLM *multi, long timeoutMs, void *driver);
    void watch(curl_socket_t socket, int what);
    void act(curl_socket_t socket, int events);
    void reportEnded();

    CURLM *m_multi;
    QTimer m_timer;
    std::map<curl_socket_t, Watch> m_watches;
    std::map<CURL *, std::function<void(CURLcode)>> m_running;
};

} // namespace net
