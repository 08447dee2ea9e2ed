#include "DomainQuery.h"

#include "FailureReason.h"
#include "HttpGetText.h"
#include "ListBox.h"
#include "PageCuts.h"
#include "ResultsModel.h"
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
        m_pending.append({ domain, m_state.runStarts });
        return;
    }
    std::optional<PageCounts> counts;
    QString failure;
    if (!fetch(domain, &counts, &failure))
        return;
    m_controls.results->appendRow(domain, counts, failure);
    if (!counts)
        return;
    const int entries = m_controls.list->count();
    report(domain, entries, entries - m_controls.list->listIndex() - 1);
}

void DomainQuery::requery(int row, int left, int total)
{
    if (row >= m_controls.results->rowCount())
        return;
    const QString domain = m_controls.results->domain(row);
    std::optional<PageCounts> counts;
    QString failure;
    if (!fetch(domain, &counts, &failure) || row >= m_controls.results->rowCount())
        return;
    if (!counts) { // failed again: it stays failed, and can be tried again
        m_controls.results->failRow(row, failure);
        m_controls.status->setPanelText(
            2, QStringLiteral("%1仍然失败（%2） | 剩余查询：%3个").arg(domain, failure).arg(left));
        return;
    }
    m_controls.results->fillRow(row, *counts);
    report(domain, total, left);
}

bool DomainQuery::fetch(const QString &domain, std::optional<PageCounts> *counts, QString *failure)
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
    if (!*counts)
        *failure = FailureReason(page);
    return true;
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
        if (next.runStarts == m_state.runStarts) {
            query(next.domain);
            return;
        }
    }
}
