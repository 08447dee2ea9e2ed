#include "DomainQuery.h"

#include "HttpGetText.h"
#include "ListBox.h"
#include "PageCuts.h"
#include "StatusBar.h"
#include "SuffixMarkers.h"

#include <QPointer>
#include <QTreeWidget>

DomainQuery::DomainQuery(const Controls &controls, QueryState &state, const QString &serviceBase,
                         const FetchLimits &limits, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_state(state)
    , m_serviceBase(serviceBase)
    , m_limits(limits)
{
}

void DomainQuery::onListClick()
{
    platform::ListBox *list = m_controls.list;
    // Rejected domains are skipped in this loop rather than by re-entering the handler once per
    // entry, so a long run of bad entries cannot exhaust the stack. Each skipped entry still
    // becomes current in turn, as it would with one click per entry.
    for (;;) {
        const QString domain = list->currentText();
        list->setToolTip(QStringLiteral("双击列表删除:") + domain);
        if (m_state.queryMode != 1)
            return;
        if (HasAcceptedSuffix(domain)) {
            query(domain);
            return;
        }
        m_controls.status->setPanelText(2, QStringLiteral("域名不正确,自动跳转下一个.."));
        if (m_state.queryCursor + 1 >= list->count())
            return;
        m_state.queryCursor += 1;
        list->setListIndexQuietly(m_state.queryCursor);
    }
}

bool RowHasNoCounts(const QTreeWidgetItem &row)
{
    for (int column = 2; column < 6; ++column) {
        if (!row.text(column).isEmpty())
            return false;
    }
    return true;
}

void DomainQuery::query(const QString &domain)
{
    if (m_state.waitingQueries >= QueryState::kMaxWaitingQueries) {
        m_pending.append({ domain, m_state.runStarts });
        return;
    }
    std::optional<PageCounts> counts;
    if (!fetch(domain, &counts))
        return;
    // The row is filled before it joins the table: each change to a row in the table makes
    // the view look it up again, which costs more the longer the table.
    QTreeWidget *table = m_controls.table;
    auto *item = new QTreeWidgetItem();
    item->setText(0, QString::number(table->topLevelItemCount() + 1));
    item->setText(1, domain);
    if (counts)
        fill(*item, *counts);
    table->addTopLevelItem(item);
    if (!counts)
        return;
    const int entries = m_controls.list->count();
    report(domain, entries, entries - m_controls.list->listIndex() - 1);
}

void DomainQuery::requery(int row, int left, int total)
{
    const QTreeWidgetItem *before = m_controls.table->topLevelItem(row);
    if (!before)
        return;
    const QString domain = before->text(1);
    std::optional<PageCounts> counts;
    if (!fetch(domain, &counts))
        return;
    QTreeWidgetItem *item = m_controls.table->topLevelItem(row);
    if (!item || !counts)
        return; // failed again: it stays failed, and can be tried again
    fill(*item, *counts);
    report(domain, total, left);
}

bool DomainQuery::fetch(const QString &domain, std::optional<PageCounts> *counts)
{
    const int runStarts = m_state.runStarts;
    QPointer<DomainQuery> alive(this);
    ++m_state.waitingQueries;
    const FetchResult page = HttpGetText(m_serviceBase + domain, m_limits);
    if (!alive)
        return false; // the window went away while we waited
    --m_state.waitingQueries;
    if (!m_pending.isEmpty())
        QMetaObject::invokeMethod(this, &DomainQuery::startPending, Qt::QueuedConnection);
    // A run started while we waited has cleared the table this row belonged to.
    if (runStarts != m_state.runStarts)
        return false;
    *counts = CountsOfPage(page.text);
    return true;
}

void DomainQuery::fill(QTreeWidgetItem &item, const PageCounts &counts)
{
    for (int k = 0; k < 4; ++k)
        item.setText(2 + k, counts[k]);
}

void DomainQuery::report(const QString &domain, int entries, int left)
{
    m_controls.status->setPanelText(2,
                                    domain + QStringLiteral("查询完毕") + QStringLiteral(" | 共：")
                                        + QString::number(entries) + QStringLiteral("个域名")
                                        + QStringLiteral(" | 剩余查询：") + QString::number(left)
                                        + QStringLiteral("个"));
}

void DomainQuery::startPending()
{
    if (m_pending.isEmpty() || m_state.waitingQueries >= QueryState::kMaxWaitingQueries)
        return;
    const Pending next = m_pending.takeFirst();
    if (next.runStarts == m_state.runStarts)
        query(next.domain);
}
