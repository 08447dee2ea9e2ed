#include "CurlDriver.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <vector>

namespace net {

CurlDriver &CurlDriver::instance()
{
    static QPointer<CurlDriver> driver;
    if (!driver)
        driver = new CurlDriver(QCoreApplication::instance());
    return *driver;
}

CurlDriver::CurlDriver(QObject *parent)
    : QObject(parent)
    , m_multi(curl_multi_init())
{
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CurlDriver::onSocket);
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CurlDriver::onTimer);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
}

CurlDriver::~CurlDriver()
{
    for (const auto &[easy, done] : m_running)
        curl_multi_remove_handle(m_multi, easy);
    m_watches.clear();
    curl_multi_cleanup(m_multi);
}

void CurlDriver::start(CURL *easy, std::function<void(CURLcode)> done)
{
    m_running[easy] = std::move(done);
    curl_multi_add_handle(m_multi, easy); // asks for a timer call that sets it going
}

void CurlDriver::cancel(CURL *easy)
{
    if (m_running.erase(easy))
        curl_multi_remove_handle(m_multi, easy);
}

int CurlDriver::onSocket(CURL *, curl_socket_t socket, int what, void *driver, void *)
{
    static_cast<CurlDriver *>(driver)->watch(socket, what);
    return 0;
}

int CurlDriver::onTimer(CURLM *, long timeoutMs, void *driver)
{
    QTimer &timer = static_cast<CurlDriver *>(driver)->m_timer;
    if (timeoutMs < 0)
        timer.stop();
    else
        timer.start(int(timeoutMs));
    return 0;
}

void CurlDriver::watch(curl_socket_t socket, int what)
{
    if (what == CURL_POLL_REMOVE) {
        // Called from inside curl, perhaps while one of these very notifiers is delivering.
        auto found = m_watches.find(socket);
        if (found == m_watches.end())
            return;
        for (auto *notifier : { found->second.read.release(), found->second.write.release() }) {
            if (notifier) {
                notifier->setEnabled(false);
                notifier->deleteLater();
            }
        }
        m_watches.erase(found);
        return;
    }
    Watch &watch = m_watches[socket];
    auto arm = [&](std::unique_ptr<QSocketNotifier> &notifier, QSocketNotifier::Type type,
                   int event, bool wanted) {
        if (!notifier && wanted) {
            notifier = std::make_unique<QSocketNotifier>(socket, type);
            connect(notifier.get(), &QSocketNotifier::activated, this,
                    [this, socket, event] { act(socket, event); });
        }
        if (notifier)
            notifier->setEnabled(wanted);
    };
    arm(watch.read, QSocketNotifier::Read, CURL_CSELECT_IN,
        what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    arm(watch.write, QSocketNotifier::Write, CURL_CSELECT_OUT,
        what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
}

void CurlDriver::act(curl_socket_t socket, int events)
{
    int running = 0;
    curl_multi_socket_action(m_multi, socket, events, &running);
    reportEnded();
}

void CurlDriver::reportEnded()
{
    // Collected first: a `done` may start or cancel transfers, which changes curl's queue.
    std::vector<std::pair<CURL *, CURLcode>> ended;
    int left = 0;
    while (CURLMsg *message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg == CURLMSG_DONE)
            ended.emplace_back(message->easy_handle, message->data.result);
    }
    for (const auto &[easy, result] : ended) {
        auto found = m_running.find(easy);
        if (found == m_running.end())
            continue; // cancelled by an earlier `done`
        const std::function<void(CURLcode)> done = std::move(found->second);
        m_running.erase(found);
        curl_multi_remove_handle(m_multi, easy);
        done(result);
    }
}

} // namespace net
