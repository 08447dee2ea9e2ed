#include "ScriptedHttpServer.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

ScriptedHttpServer::ScriptedHttpServer()
    : m_server(new QTcpServer(this))
{
    if (!m_server->listen(QHostAddress::LocalHost, 0))
        qFatal("cannot listen on loopback");
    m_port = m_server->serverPort();
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString ScriptedHttpServer::base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

void ScriptedHttpServer::close()
{
    m_server->close();
}

void ScriptedHttpServer::release(const QByteArray &path)
{
    const QList<Held> held = m_held;
    m_held.clear();
    for (const Held &h : held) {
        if (!path.isEmpty() && h.path != path)
            m_held.append(h);
        else if (h.socket)
            answer(h.socket, m_replies.value(h.path));
    }
}

void ScriptedHttpServer::onData(QTcpSocket *socket)
{
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n"))
        return;
    requests << head.left(head.indexOf("\r\n\r\n"));
    const QByteArray path = head.split(' ').value(1);
    emit requestSeen(path);
    socket->setProperty("head", head.mid(head.indexOf("\r\n\r\n") + 4));
    const Reply reply = m_replies.value(path, { 404, "not scripted" });
    if (reply.resets > 0) {
        m_replies[path].resets -= 1;
        socket->abort();
        return;
    }
    if (reply.mode == Mode::NoAnswer)
        return;
    QPointer<QTcpSocket> guarded(socket);
    if (reply.mode == Mode::Held) {
        m_held.append({ guarded, path });
        return;
    }
    QTimer::singleShot(reply.delayMs, this, [this, guarded, reply] {
        if (guarded)
            answer(guarded, reply);
    });
}

void ScriptedHttpServer::answer(QTcpSocket *socket, const Reply &reply)
{
    if (reply.mode == Mode::Raw) {
        socket->write(reply.body);
        if (!reply.keepAlive)
            socket->disconnectFromHost();
        return;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status)
        + " Scripted\r\nContent-Type: text/html; charset=utf-8\r\n";
    if (!reply.keepAlive)
        head += "Connection: close\r\n";
    if (!reply.location.isEmpty())
        head += "Location: " + reply.location + "\r\n";
    const QByteArray half = reply.body.left(reply.body.size() / 2);
    const QByteArray rest = reply.body.mid(half.size());
    if (reply.mode == Mode::Chunked) {
        socket->write(head + "Transfer-Encoding: chunked\r\n\r\n");
        for (const QByteArray &chunk : { half, rest })
            socket->write(QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n");
    } else {
        socket->write(head + "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n\r\n"
                      + half);
    }
    if (reply.mode == Mode::CloseMidBody) {
        socket->flush();
        socket->abort();
        return;
    }
    socket->write(reply.mode == Mode::Chunked ? QByteArray("0\r\n\r\n") : rest);
    if (!reply.keepAlive)
        socket->disconnectFromHost();
}
