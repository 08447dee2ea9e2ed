#pragma once

#include "QueryState.h"

#include <QObject>
#include <QString>

class QTreeWidget;

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
        QTreeWidget *table;
        platform::StatusBar *status;
    };

    // `serviceBase` is the statistics service address the domain is appended to,
    // e.g. "http://host/siteall/".
    DomainQuery(const Controls &controls, QueryState &state, const QString &serviceBase,
                QObject *parent = nullptr);

    // The list's Click handling.
    void onListClick();

private:
    void query(const QString &domain);

    Controls m_controls;
    QueryState &m_state;
    QString m_serviceBase;
};
