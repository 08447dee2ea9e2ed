#include "ListTools.h"

#include "ListBox.h"
#include "Platform.h"
#include "StatusBar.h"
#include "SuffixMarkers.h"
#include "TidyEntries.h"

#include <QAction>
#include <QMenu>
#include <QSet>

#include <utility>

ListTools::ListTools(platform::ListBox *list, platform::StatusBar *status,
                     platform::Platform &platform, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_status(status)
    , m_platform(platform)
    , m_window(window)
{
    // A press on the empty list starts the import instead; the Menu key or Shift+F10 still
    // open the menu, with the tools that need entries disabled.
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &platform::ListBox::listMouseDown, this,
            [this](Qt::MouseButton button) { m_pressed = button == Qt::RightButton; });
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint &at) {
        if (std::exchange(m_pressed, false) && list->count() == 0)
            return;
        for (QAction *tool : std::as_const(m_tools))
            tool->setEnabled(list->count() > 0);
        QMenu menu(list);
        menu.addActions(list->actions());
        menu.setToolTipsVisible(true); // they say why an entry is disabled
        menu.exec(list->viewport()->mapToGlobal(at));
    });
    const struct
    {
        const char *name;
        QString text;
        void (ListTools::*run)();
    } tools[]
        = { { "tidyList", QStringLiteral("整理域名"), &ListTools::tidyList },
            { "removeDuplicates", QStringLiteral("删除重复域名"), &ListTools::removeDuplicates },
            { "removeRejected", QStringLiteral("删除无效域名"), &ListTools::removeRejected },
            { "clearList", QStringLiteral("清空列表"), &ListTools::clearList } };
    for (const auto &tool : tools) {
        auto *action = new QAction(tool.text, list);
        action->setObjectName(QString::fromLatin1(tool.name));
        connect(action, &QAction::triggered, this, tool.run);
        list->addAction(action);
        m_tools << action;
    }
}

void ListTools::tidyList()
{
    if (!m_list->isEnabled())
        return;
    const TidiedList tidied = TidyDomainEntries(m_list->entries());
    if (tidied.changed == 0 && tidied.dropped == 0) {
        m_status->setPanelText(2, QStringLiteral("域名列表无需整理"));
        return;
    }
    m_list->clear();
    m_list->addItems(tidied.entries);
    const QString summary = QStringLiteral("已整理域名：改动%1个，删除空行%2个，共%3个域名")
                                .arg(tidied.changed)
                                .arg(tidied.dropped)
                                .arg(tidied.entries.size());
    QStringList lines { summary + QStringLiteral("。") };
    for (const auto &[before, after] : tidied.firstChanges)
        lines << before.simplified() + QStringLiteral(" → ") + after;
    if (tidied.changed > tidied.firstChanges.size())
        lines << QStringLiteral("……");
    m_status->setPanelText(2, summary);
    m_platform.boxes.show(m_window, lines.join(QStringLiteral("\r\n")),
                          platform::BoxIcon::Information, QStringLiteral("Varnel系列软件"));
}

void ListTools::removeDuplicates()
{
    QSet<QString> seen;
    QStringList kept;
    for (const QString &entry : m_list->entries()) {
        if (!seen.contains(entry.toLower())) {
            seen.insert(entry.toLower());
            kept << entry;
        }
    }
    keep(kept, QStringLiteral("重复域名"));
}

void ListTools::removeRejected()
{
    QStringList kept;
    for (const QString &entry : m_list->entries()) {
        if (HasAcceptedSuffix(entry))
            kept << entry;
    }
    keep(kept, QStringLiteral("无效域名"));
}

void ListTools::clearList()
{
    if (!m_list->isEnabled() || m_list->count() == 0)
        return;
    if (!m_platform.boxes.confirm(
            m_window, QStringLiteral("确定要清空域名列表吗？共%1个域名。").arg(m_list->count()),
            QStringLiteral("Varnel系列软件")))
        return;
    m_list->clear();
    m_status->setPanelText(2, QStringLiteral("域名列表已清空"));
}

void ListTools::keep(const QStringList &entries, const QString &removedWhat)
{
    if (!m_list->isEnabled())
        return; // a run walks the list as it is
    const int removed = m_list->count() - int(entries.size());
    if (removed > 0) {
        m_list->clear();
        m_list->addItems(entries);
    }
    m_status->setPanelText(2,
                           QStringLiteral("已删除%1个%2，共%3个域名")
                               .arg(removed)
                               .arg(removedWhat)
                               .arg(entries.size()));
}
