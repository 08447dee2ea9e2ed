#pragma once

#include <QObject>

class QSocketNotifier;

// Ctrl+C and SIGTERM during a batch run. The first one is handed to the event loop, so that
// the wait or transfer in progress ends at once; a second one ends the program at once. One
// instance at a time; the default handling returns when it goes.
class BatchSignals : public QObject
{
    Q_OBJECT
public:
    BatchSignals();
    ~BatchSignals() override;

    int received() const; // the signal's number, or 0

signals:
    void arrived();

private:
    QSocketNotifier *m_notifier = nullptr;
};
