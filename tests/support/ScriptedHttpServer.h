#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

// A loopback HTTP server for tests that answers each path as told, including the ways a real
// server misbehaves. It reads just enough of a request (request line and headers) to record it.
class ScriptedHttpServer : public QObject
{
    Q_OBJECT
public:
    enum class Mode {
        Normal, // status line, Content-Length, body
        Chunked, // body sent in chunks
        CloseMidBody, // announces the full length, sends half, closes
        NoAnswer, // reads the request and never answers
    };
    struct Reply
    {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/html; charset=utf-8";
        int delayMs = 0;
        Mode mode = Mode::Normal;
        QByteArray location = {}; // sent as a Location header when not empty
    };
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };

    explicit ScriptedHttpServer(QObject *parent = nullptr);
    ~ScriptedHttpServer() override;

    bool listen();
    void close(); // stop listening: connections are refused from now on
    void dropConnections(); // resets every open connection, answered or not
    quint16 port() const;
    QString base() const; // "http://127.0.0.1:<port>"
    void setReply(const QByteArray &path, const Reply &reply);
    QList<Request> requests;

signals:
    void requestSeen(const QByteArray &path);

private:
    void onConnection();
    void onData(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Reply &reply);

    QTcpServer *m_server;
    quint16 m_closedPort = 0;
    QHash<QByteArray, Reply> m_replies;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

// A statistics page whose counts row holds one linked count per entry of `counts`.
QByteArray StatisticsPageWith(const QStringList &counts);
