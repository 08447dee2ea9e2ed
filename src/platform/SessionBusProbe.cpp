#include "SessionBusProbe.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

// Waits for `events` on `fd` until `deadline` on `clock`.
bool Ready(int fd, short events, const QElapsedTimer &clock, int limitMs)
{
    for (;;) {
        const qint64 left = limitMs - clock.elapsed();
        if (left <= 0)
            return false;
        pollfd watched { fd, events, 0 };
        const int got = ::poll(&watched, 1, int(left));
        if (got > 0)
            return true;
        if (got == 0 || errno != EINTR)
            return false;
    }
}

bool UnixSocketAnswers(const QByteArray &path, bool abstract, int limitMs)
{
    sockaddr_un where {};
    where.sun_family = AF_UNIX;
    const qsizetype offset = abstract ? 1 : 0;
    if (path.isEmpty() || path.size() + offset >= qsizetype(sizeof where.sun_path))
        return false;
    std::memcpy(where.sun_path + offset, path.constData(), size_t(path.size()));
    const socklen_t length
        = socklen_t(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    bool answered = false;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&where), length) == 0
        || (errno == EINPROGRESS && Ready(fd, POLLOUT, clock, limitMs))) {
        // The first step of the bus's handshake: a NUL, then an authentication request; any
        // line back is an answer.
        const QByteArray hello = QByteArray(1, '\0') + "AUTH EXTERNAL "
            + QByteArray::number(::getuid()).toHex() + "\r\n";
        char reply[64];
        answered = ::send(fd, hello.constData(), size_t(hello.size()), MSG_NOSIGNAL)
                == ssize_t(hello.size())
            && Ready(fd, POLLIN, clock, limitMs) && ::recv(fd, reply, sizeof reply, 0) > 0;
    }
    ::close(fd);
    return answered;
}

} // namespace

bool SessionBusAnswers(const QString &address, int limitMs)
{
    for (const QString &entry : address.split(u';', Qt::SkipEmptyParts)) {
        const QString transport = entry.section(u':', 0, 0);
        if (transport != QLatin1String("unix"))
            return true; // not ours to probe: Qt's own connection decides
        for (const QString &pair : entry.section(u':', 1).split(u',')) {
            const QString key = pair.section(u'=', 0, 0);
            const QByteArray value
                = QByteArray::fromPercentEncoding(pair.section(u'=', 1).toUtf8());
            if (key == QLatin1String("path") || key == QLatin1String("abstract"))
                return UnixSocketAnswers(value, key == QLatin1String("abstract"), limitMs);
        }
    }
    return false;
}

QString SessionBusAddress()
{
    const QString named = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!named.isEmpty())
        return named;
    const QString usual = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus");
    return QFileInfo(usual).exists() ? QStringLiteral("unix:path=") + usual : QString();
}

} // namespace platform
