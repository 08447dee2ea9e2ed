#include "DomainQuery.h"

#include "ListBox.h"
#include "StatusBar.h"
#include "SuffixMarkers.h"

#include <QPointer>

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

void DomainQuery::query(const QString &domain)
{
    if (m_state.waitingQueries >= QueryState::kMaxWaitingQueries) {
        m_pending.append({ domain, m_controls.results->tableId() });
        return;
    }
    DomainPage page;
    if (!fetch(domain, &page))
        return;
    m_controls.results->appendRow(domain, page.counts, page.failure);
    if (!page.counts)
        return;
    const int entries = m_controls.list->count();
    report(domain, entries, entries - m_controls.list->listIndex() - 1);
}

void DomainQuery::requery(const ResultsModel::RowKey &key, int left, int total)
{
    ResultsModel *results = m_controls.results;
    if (results->rowOf(key) < 0)
        return;
    const QString domain = results->domain(key.row);
    DomainPage page;
    if (!fetch(domain, &page))
        return;
    const int row = results->rowOf(key);
    if (!page.counts) { // failed again: it stays failed, and can be tried again
        results->failRow(row, page.failure);
        m_controls.status->setPanelText(2,
                                        QStringLiteral("%1仍然失败（%2） | 剩余查询：%3个")
                                            .arg(domain, page.failure)
                                            .arg(left));
        return;
    }
    results->fillRow(row, *page.counts);
    report(domain, total, left);
}

bool DomainQuery::fetch(const QString &domain, DomainPage *page)
{
    const ResultsModel::TableId table = m_controls.results->tableId();
    QPointer<DomainQuery> alive(this);
    ++m_state.waitingQueries;
    *page = FetchDomainPage(m_serviceBase, domain, m_limits);
    if (!alive)
        return false; // the window went away while we waited
    --m_state.waitingQueries;
    if (!m_pending.isEmpty())
        QMetaObject::invokeMethod(this, &DomainQuery::startPending, Qt::QueuedConnection);
    // A start, or rows reopened from the history, replaced the table this page was asked for.
    return table == m_controls.results->tableId();
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
    if (m_state.waitingQueries >= QueryState::kMaxWaitingQueries)
        return;
    while (!m_pending.isEmpty()) {
        const Pending next = m_pending.takeFirst();
        if (next.table == m_controls.results->tableId()) {
            query(next.domain);
            return;
        }
    }
}
