#include "SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QStandardPaths>

#include <unistd.h>

namespace platform {

namespace {

// Long enough for a window busy with a long import to take the handover.
constexpr int kHandOverMs = 5000;

} // namespace

QString SingleInstance::socketFor(const QString &platformName)
{
    QString display;
    if (platformName.startsWith(QLatin1String("wayland")))
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    else if (platformName == QLatin1String("xcb"))
        display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        return {};
    // XDG_RUNTIME_DIR is the user's own; without it, a folder of the user's own in /tmp, used
    // only when it is nobody else's (another user could have made it first, to listen there).
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::tempPath() + QStringLiteral("/varnel-index-query-%1").arg(::getuid());
        QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QFileInfo made(folder);
        if (!made.isDir() || made.isSymLink() || made.ownerId() != ::getuid()
            || made.permissions() & (QFile::WriteGroup | QFile::WriteOther))
            return {};
    }
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    return folder + QStringLiteral("/varnel-index-query-")
        + QString(display).replace(unsafe, QStringLiteral("_"));
}

SingleInstance::SingleInstance(QString socket, QObject *parent)
    : QObject(parent)
    , m_socket(std::move(socket))
{
}

bool SingleInstance::handOver(const QString &file)
{
    if (m_socket.isEmpty())
        return false;
    QLocalSocket peer;
    peer.connectToServer(m_socket);
    if (!peer.waitForConnected(kHandOverMs))
        return false; // nobody listens: a socket left by a crash, or none
    peer.write(file.toUtf8() + '\n'); // a path with a line break in it is no list anyone has
    // The window answers once it has read the whole request.
    return peer.waitForBytesWritten(kHandOverMs) && peer.waitForReadyRead(kHandOverMs)
        && peer.readAll().startsWith("ok");
}

bool SingleInstance::listen()
{
    if (m_socket.isEmpty())
        return false;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Reached here, nobody answered on it: what is there is left over.
    QLocalServer::removeServer(m_socket);
    if (!m_server->listen(m_socket))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (!peer->canReadLine())
                    return;
                const QString file = QString::fromUtf8(peer->readLine()).chopped(1);
                peer->write("ok\n");
                peer->flush();
                emit asked(file);
            });
        }
    });
    return true;
}

} // namespace platform
