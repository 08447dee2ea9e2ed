#include "ResultsTableProc.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>
#include <QTableView>

ResultsTableProc::ResultsTableProc(QHeaderView *header)
    : QObject(header)
    , m_header(header)
{
}

bool ResultsTableProc::onDivider(int x) const
{
    const int margin
        = m_header->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, m_header);
    for (int visual = 0; visual < m_header->count(); ++visual) {
        const int logical = m_header->logicalIndex(visual);
        if (m_header->isSectionHidden(logical))
            continue;
        const int right
            = m_header->sectionViewportPosition(logical) + m_header->sectionSize(logical);
        if (qAbs(x - right) <= margin)
            return true;
    }
    return false;
}

bool ResultsTableProc::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (onDivider(mouse->position().toPoint().x()))
            return true; // the header never sees it: no drag starts, no auto-size happens
    }
    return QObject::eventFilter(watched, event);
}

void InstallResultsTableProc(QTableView *table)
{
    QHeaderView *header = table->horizontalHeader();
    header->viewport()->installEventFilter(new ResultsTableProc(header));
}
