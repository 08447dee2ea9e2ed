#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpServer;
class QTcpSocket;

// A loopback HTTP server that answers each path as told, including the ways a real server
// misbehaves, and records the request lines and headers it was sent.
class ScriptedHttpServer : public QObject
{
    Q_OBJECT
public:
    // Held: the answer waits until the test releases it. Raw: the body is the whole answer,
    // status line and headers included, written as it is.
    enum class Mode { Normal, Chunked, CloseMidBody, NoAnswer, Held, Raw };
    struct Reply
    {
        int status = 200;
        QByteArray body;
        Mode mode = Mode::Normal;
        QByteArray location = {}; // a Location header when not empty
        int resets = 0; // the first requests for the path that are reset unanswered
        bool keepAlive = false; // the connection stays open for the next request
        int delayMs = 0; // for the benchmarks' slow services; tests hold answers instead
    };

    ScriptedHttpServer();
    QString base() const; // "http://127.0.0.1:<port>"
    void setReply(const QByteArray &path, const Reply &reply) { m_replies.insert(path, reply); }
    void close(); // connections are refused from now on
    // Sends the held answers (of `path` only, when given) in the order they were asked for, each
    // as its path's reply now reads.
    void release(const QByteArray &path = {});
    QList<QByteArray> requests; // request line and headers, one entry per request

signals:
    void requestSeen(const QByteArray &path);

private:
    void onData(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Reply &reply);

    QTcpServer *m_server;
    quint16 m_port = 0;
    QHash<QByteArray, Reply> m_replies;
    struct Held
    {
        QPointer<QTcpSocket> socket;
        QByteArray path;
    };
    QList<Held> m_held;
};
