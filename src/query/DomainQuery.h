#pragma once

#include "DomainPage.h"
#include "QueryState.h"
#include "ResultsModel.h"

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

namespace platform {
class ListBox;
class StatusBar;
} // namespace platform

// What happens when an entry of the domain list becomes current: the list's tool tip names the
// entry and, while queryMode is 1, the entry's domain is checked, its statistics page fetched,
// its four counts appended to the results table and a status line written.
class DomainQuery : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        platform::ListBox *list;
        ResultsModel *results;
        platform::StatusBar *status;
    };

    // `serviceBase` is the statistics service address the domain is appended to,
    // e.g. "http://host/siteall/".
    DomainQuery(const Controls &controls, QueryState &state, const QString &serviceBase,
                const FetchLimits &limits = {}, QObject *parent = nullptr);

    // Pages are asked of this service from now on.
    void setService(const QString &serviceBase, const FetchLimits &limits)
    {
        m_serviceBase = serviceBase;
        m_limits = limits;
    }
    // The list's Click handling.
    void onListClick();
    // Queries the domain of results row `row` again and fills that row in place, its number and
    // position kept; `left` and `total` are what the status line counts. Nothing lands when
    // the row's table was replaced meanwhile.
    void requery(const ResultsModel::RowKey &row, int left, int total);
    // Drops the queries held back at the nesting bound: a start clears the table they would
    // have filled, and its own first query must not wait behind them.
    void dropHeld() { m_pending.clear(); }

private:
    struct Pending
    {
        QString domain;
        ResultsModel::TableId table;
    };

    void query(const QString &domain);
    void startPending();
    // Fetches the page of `domain` and cuts its counts. False when the result has nowhere to go
    // any more: the window went, or the table it was asked for was replaced meanwhile.
    bool fetch(const QString &domain, DomainPage *page);
    void report(const QString &domain, int entries, int left);

    Controls m_controls;
    QueryState &m_state;
    QString m_serviceBase;
    FetchLimits m_limits;
    // Queries asked for while the waits were as deep as they may go (an add or an import
    // during a run); each starts once a wait has returned, a stop notwithstanding: the user
    // asked for it.
    QList<Pending> m_pending;
};
