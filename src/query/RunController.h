#pragma once

#include "QueryState.h"
#include "ResultsModel.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <optional>

class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QWidget;
class DomainQuery;
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
        ResultsModel *results;
        platform::StatusBar *status;
        QPushButton *startStop;
        QTimer *timer;
        QSlider *pace;
        QLabel *paceLabel;
        QWidget *window; // parent of message boxes
    };

    RunController(const Controls &controls, QueryState &state, DomainQuery &query,
                  platform::MessageBoxes &boxes, QObject *parent = nullptr);

    bool running() const;
    bool retrying() const { return m_retrying && running(); }
    // Results rows that have failed, in table order.
    QList<int> failedRows() const;
    // Why no retry could start now though rows failed, in the user's words; empty when one can.
    QString whyNoRetry() const;
    // Whether a retry could start: some row failed, and a run could start now.
    bool canRetry() const;
    // Queries the failed rows again, one per step at the slider's pace, filling each in place;
    // started and stopped like a run. Only when canRetry().
    void retryFailed();

    // Why the run that was stopped or cut short cannot go on now, in the user's words; empty
    // when 继续查询 can.
    QString whyNoContinue() const;
    // Goes on with the stopped run at the entry after the last it made current: the table, its
    // rows and numbering kept. Only when whyNoContinue() is empty.
    void continueRun();
    // Rows of an unfinished run were reopened into the table: its list comes back, the entry
    // `next` is made current (not queried), and 继续查询 goes on from there.
    void resumeAt(const QStringList &entries, int next);
    // The list of the run over the list going on or left unfinished, as it was started.
    QStringList runEntries() const { return m_place ? m_place->entries : QStringList(); }
    // The run going on was continued rather than started.
    bool continuing() const { return m_continuing && running(); }

    void onStartStopClick();
    void onTimerTick();
    void onPaceScroll();
    // Queries the last entry once, outside the run's steps.
    void cx();

signals:
    // A run or a retry started, stopped or ended.
    void runStateChanged();
    // A step of a run or a retry began: `done` of `total` steps are under way.
    void progressChanged(int done, int total);
    // A run or a retry reached its end (not a stop).
    void finished();
    // A run made entry `entry` of its list current.
    void reached(int entry);

private:
    // Where a run over the list stands: its list as it was started, the last entry it made
    // current, and the table its rows went to.
    struct Place
    {
        QStringList entries;
        int reached = -1;
        ResultsModel::TableId table = 0;
    };

    void retryNext();
    void start();
    void startAt(int entry);
    void reach(int entry);
    void stop();
    void endRun();

    Controls m_controls;
    QueryState &m_state;
    platform::MessageBoxes &m_boxes;
    int m_runNumber = 0;
    int m_endedRun = -1; // the run number that ended last
    bool m_endedRetry = false; // ... and whether it was a retry
    int m_stoppedRun = -1; // the run number that was stopped last
    DomainQuery &m_query;
    // While a retry goes on: the failed rows still to query, and how many there were.
    bool m_retrying = false;
    QList<ResultsModel::RowKey> m_retryRows;
    int m_retryTotal = 0;
    // The run over the list that has not reached its end, if any.
    std::optional<Place> m_place;
    bool m_continuing = false;
};
