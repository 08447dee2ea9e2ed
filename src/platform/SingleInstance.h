#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace platform {

// One window per user and display: the first start listens on a local socket in the user's
// runtime folder; a later start hands it the file it was asked to open and ends.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // The socket for this user and display; empty where every start stands alone (no display,
    // or a platform without one, such as the tests' offscreen platform).
    static QString socketFor(const QString &platformName);

    explicit SingleInstance(QString socket, QObject *parent = nullptr);

    // Hands `file` (an absolute path; none: only be raised) to the window listening there; true
    // when one took it.
    bool handOver(const QString &file);
    // Listens for later starts; a socket left behind by a crash is cleared first.
    bool listen();

signals:
    void asked(const QString &file); // empty: only to be raised

private:
    QString m_socket;
    QLocalServer *m_server = nullptr;
};

} // namespace platform
