#include "BatchSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Exchanged, not read and then written: two signals taken on two threads at once are still a
// first and a second.
std::atomic<int> g_received = 0;
static_assert(std::atomic<int>::is_always_lock_free);
int g_pipe[2] = { -1, -1 };

void OnSignal(int signal)
{
    if (g_received.exchange(signal) != 0)
        ::_exit(128 + signal); // asked twice: no summary, no waiting
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

void Handle(int signal, void (*handler)(int))
{
    struct sigaction action
    {
    };
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

} // namespace

BatchSignals::BatchSignals()
{
    g_received = 0;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_pipe[0] = g_pipe[1] = -1;
    if (g_pipe[0] >= 0) {
        m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            char byte;
            while (::read(g_pipe[0], &byte, 1) > 0) { }
            emit arrived();
        });
    }
    Handle(SIGINT, OnSignal);
    Handle(SIGTERM, OnSignal);
    // A reader that went away is a failed write, said and ended with a status, not a silent death.
    Handle(SIGPIPE, SIG_IGN);
}

BatchSignals::~BatchSignals()
{
    Handle(SIGINT, SIG_DFL);
    Handle(SIGTERM, SIG_DFL);
    Handle(SIGPIPE, SIG_DFL);
    delete m_notifier;
    for (int &end : g_pipe) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

int BatchSignals::received() const
{
    return g_received.load();
}
