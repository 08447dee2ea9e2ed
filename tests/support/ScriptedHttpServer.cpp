#include "ScriptedHttpServer.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

ScriptedHttpServer::ScriptedHttpServer(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &ScriptedHttpServer::onConnection);
}

ScriptedHttpServer::~ScriptedHttpServer() = default;

bool ScriptedHttpServer::listen()
{
    return m_server->listen(QHostAddress::LocalHost, 0);
}

void ScriptedHttpServer::close()
{
    m_closedPort = m_server->serverPort();
    m_server->close();
}

void ScriptedHttpServer::dropConnections()
{
    for (QTcpSocket *socket : m_server->findChildren<QTcpSocket *>())
        socket->abort();
}

quint16 ScriptedHttpServer::port() const
{
    return m_server->isListening() ? m_server->serverPort() : m_closedPort;
}

QString ScriptedHttpServer::base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void ScriptedHttpServer::setReply(const QByteArray &path, const Reply &reply)
{
    m_replies.insert(path, reply);
}

void ScriptedHttpServer::onConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_pending.remove(socket); });
    }
}

void ScriptedHttpServer::onData(QTcpSocket *socket)
{
    QByteArray &buffer = m_pending[socket];
    buffer += socket->readAll();
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    buffer.remove(0, headEnd + 4);

    Request request;
    const QList<QByteArray> words = lines.value(0).trimmed().split(' ');
    request.method = words.value(0);
    request.path = words.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.insert(line.left(colon).toLower(), line.mid(colon + 1).trimmed());
    }
    requests.append(request);
    emit requestSeen(request.path);

    Reply reply;
    reply.status = 404;
    reply.body = "not scripted";
    const auto found = m_replies.constFind(request.path);
    if (found != m_replies.constEnd())
        reply = *found;
    if (reply.mode == Mode::NoAnswer)
        return;
    if (reply.delayMs <= 0) {
        answer(socket, reply);
        return;
    }
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(reply.delayMs, this, [this, guarded, reply] {
        if (guarded)
            answer(guarded, reply);
    });
}

void ScriptedHttpServer::answer(QTcpSocket *socket, const Reply &reply)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Scripted\r\n";
    head += "Content-Type: " + reply.contentType + "\r\nConnection: close\r\n";
    if (!reply.location.isEmpty())
        head += "Location: " + reply.location + "\r\n";
    switch (reply.mode) {
    case Mode::Chunked: {
        socket->write(head + "Transfer-Encoding: chunked\r\n\r\n");
        const qsizetype half = reply.body.size() / 2;
        for (const QByteArray &chunk : { reply.body.left(half), reply.body.mid(half) }) {
            if (!chunk.isEmpty())
                socket->write(QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n");
        }
        socket->write("0\r\n\r\n");
        break;
    }
    case Mode::CloseMidBody:
        socket->write(head + "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n\r\n"
                      + reply.body.left(reply.body.size() / 2));
        socket->flush();
        socket->abort();
        return;
    default:
        socket->write(head + "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n\r\n"
                      + reply.body);
        break;
    }
    socket->disconnectFromHost();
}

QByteArray StatisticsPageWith(const QStringList &counts)
{
    QByteArray page = "<html><table><tr><td class=\"t\">收录数量</td>";
    for (const QString &count : counts)
        page += "<td><a href=\"#\">" + count.toUtf8() + "</a></td>";
    return page + "</tr></table></html>";
}
