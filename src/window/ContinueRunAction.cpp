#include "ContinueRunAction.h"

#include "ListBox.h"
#include "RunController.h"

#include <QAction>
#include <QTableView>

namespace {

void PutFirst(QWidget *widget, QAction *action)
{
    const QList<QAction *> actions = widget->actions();
    widget->insertAction(actions.isEmpty() ? nullptr : actions.constFirst(), action);
}

} // namespace

ContinueRunAction::ContinueRunAction(RunController *run, platform::ListBox *list, QTableView *table,
                                     QWidget *window)
    : QObject(window)
    , m_run(run)
    , m_action(new QAction(QStringLiteral("继续查询"), window))
{
    m_action->setObjectName(QStringLiteral("continueRun"));
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    m_action->setShortcutContext(Qt::WindowShortcut);
    PutFirst(list, m_action);
    PutFirst(table, m_action);
    window->addAction(m_action); // the shortcut works wherever the focus is in the window
    connect(m_action, &QAction::triggered, run, &RunController::continueRun);
    connect(run, &RunController::runStateChanged, this, &ContinueRunAction::refresh);
    for (QAbstractItemModel *model : { list->model(), table->model() }) {
        connect(model, &QAbstractItemModel::modelReset, this, &ContinueRunAction::refresh);
        connect(model, &QAbstractItemModel::rowsInserted, this, &ContinueRunAction::refresh);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &ContinueRunAction::refresh);
    }
    refresh();
}

void ContinueRunAction::refresh()
{
    const QString why = m_run->whyNoContinue();
    m_action->setEnabled(why.isEmpty());
    m_action->setToolTip(why.isEmpty() ? QStringLiteral("从上次停下的地方接着查询") : why);
}
