#pragma once

#include "QueryState.h"

#include <QObject>

class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QTreeWidget;
class QWidget;
namespace platform {
class ListBox;
class MessageBoxes;
class StatusBar;
} // namespace platform

// The batch run over the domain list: start and stop from one button whose caption tells the
// state, one entry per timer tick at the slider's pace, and the single query of the last entry.
// It never queries by itself: it sets queryMode and selects entries.
class RunController : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        platform::ListBox *list;
        QTreeWidget *table;
        platform::StatusBar *status;
        QPushButton *startStop;
        QTimer *timer;
        QSlider *pace;
        QLabel *paceLabel;
        QWidget *window; // parent of message boxes
    };

    RunController(const Controls &controls, QueryState &state, platform::MessageBoxes &boxes,
                  QObject *parent = nullptr);

    bool running() const;

    void onStartStopClick();
    void onTimerTick();
    void onPaceScroll();
    // Queries the last entry once, outside the run's steps.
    void cx();

private:
    void start();
    void stop();
    void endRun();

    Controls m_controls;
    QueryState &m_state;
    platform::MessageBoxes &m_boxes;
    int m_runNumber = 0;
    int m_endedRun = -1; // the run number that ended last
};
