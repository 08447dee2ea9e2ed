#pragma once

#include <QObject>

class QAction;
class QTableView;
class QWidget;
class ResultsModel;
class RunController;
namespace platform {
class ListBox;
}

// 继续查询: in the list's and the table's menus and on Ctrl+R, enabled while a stopped or
// reopened run can go on; its tool tip says why not otherwise.
class ContinueRunAction : public QObject
{
    Q_OBJECT
public:
    ContinueRunAction(RunController *run, platform::ListBox *list, QTableView *table,
                      QWidget *window);
    // Things the run does not tell of changed (the update check passed).
    void refresh();

private:
    RunController *m_run;
    QAction *m_action;
};
