#include "ResultsTableActions.h"

#include "Platform.h"
#include "ResultsExport.h"
#include "ResultsModel.h"
#include "ResultsOrder.h"
#include "ResultsWorkbook.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>

namespace {

const QString kBoxTitle = QStringLiteral("Varnel系列软件");

QAction *AddAction(QTableView *table, const char *name, const QString &text,
                   const QKeySequence &keys = {})
{
    auto *action = new QAction(text, table);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    table->addAction(action);
    return action;
}

} // namespace

ResultsTableActions::ResultsTableActions(QTableView *table, platform::Platform &platform,
                                         QWidget *window)
    : QObject(table)
    , m_table(table)
    , m_platform(platform)
    , m_window(window)
{
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_copy = AddAction(table, "copyResults", QStringLiteral("复制"), QKeySequence::Copy);
    connect(m_copy, &QAction::triggered, this, &ResultsTableActions::copySelection);
    m_onRows << AddAction(table, "selectAllResults", QStringLiteral("全选"), QKeySequence::SelectAll);
    connect(m_onRows.constLast(), &QAction::triggered, table, &QTableView::selectAll);
    m_onRows << AddAction(table, "exportResults", QStringLiteral("导出结果…"));
    connect(m_onRows.constLast(), &QAction::triggered, this, &ResultsTableActions::exportAll);
    m_onRows << AddAction(table, "exportWorkbook", QStringLiteral("导出为Excel…"));
    connect(m_onRows.constLast(), &QAction::triggered, this, &ResultsTableActions::exportWorkbook);
    if (auto *order = qobject_cast<ResultsOrder *>(table->model())) {
        QAction *failedOnly = AddAction(table, "failedOnly", QStringLiteral("只显示失败的行"));
        failedOnly->setCheckable(true);
        connect(failedOnly, &QAction::toggled, order, &ResultsOrder::setFailedOnly);
    }
    m_viewport = table->viewport();
    m_viewport->installEventFilter(this);
    table->installEventFilter(this); // a menu from the keyboard comes to the table itself
    followNewRows();
    // What cannot act on an empty table, or on no picked row, is shown disabled.
    QAbstractItemModel *model = table->model();
    for (const auto changed : { &QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved })
        connect(model, changed, this, &ResultsTableActions::refreshEnabled);
    connect(model, &QAbstractItemModel::modelReset, this, &ResultsTableActions::refreshEnabled);
    connect(model, &QAbstractItemModel::layoutChanged, this, &ResultsTableActions::refreshEnabled);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ResultsTableActions::refreshEnabled);
    refreshEnabled();
}

void ResultsTableActions::refreshEnabled()
{
    const bool rows = m_table->model()->rowCount() > 0;
    for (QAction *action : std::as_const(m_onRows))
        action->setEnabled(rows);
    m_copy->setEnabled(rows && m_table->selectionModel()->hasSelection());
}

QStringList ResultsTableActions::headerLine() const
{
    const QAbstractItemModel *model = m_table->model();
    QStringList cells;
    for (int column = 0; column < model->columnCount(); ++column)
        cells << model->headerData(column, Qt::Horizontal).toString();
    return cells;
}

QStringList ResultsTableActions::rowLine(int row) const
{
    const QAbstractItemModel *model = m_table->model();
    QStringList cells;
    for (int column = 0; column < model->columnCount(); ++column)
        cells << model->index(row, column).data().toString();
    return cells;
}

void ResultsTableActions::copySelection()
{
    QList<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end()); // in table order, whatever order they were picked in
    QList<QStringList> lines { headerLine() };
    for (int row : std::as_const(rows))
        lines << rowLine(row);
    m_platform.clipboard.setText(ResultsAsTabSeparated(lines));
}

std::optional<QString> ResultsTableActions::askWhere(const QString &title, const QString &filter,
                                                     const QString &last, const QString &name)
{
    return m_platform.files.saveFile(m_window, title, filter,
                                     last.isEmpty() ? QDir::home().filePath(name) : last);
}

void ResultsTableActions::sayNotSaved(const QString &path, const QString &reason)
{
    m_platform.boxes.show(
        m_window,
        QStringLiteral("无法保存文件：%1\r\n%2").arg(QDir::toNativeSeparators(path), reason),
        platform::BoxIcon::Warning, kBoxTitle);
}

void ResultsTableActions::exportAll()
{
    const std::optional<QString> path
        = askWhere(QStringLiteral("导出结果"), QStringLiteral("CSV文件|*.csv"), m_lastExport,
                   m_sheetName + QStringLiteral(".csv"));
    if (!path)
        return;
    QList<QStringList> lines { headerLine() };
    for (int row = 0; row < m_table->model()->rowCount(); ++row)
        lines << rowLine(row);

    if (const QString reason = SaveResultsCsv(*path, lines); !reason.isEmpty()) {
        sayNotSaved(*path, reason);
        return;
    }
    m_lastExport = *path;
}

void ResultsTableActions::exportWorkbook()
{
    const std::optional<QString> path
        = askWhere(QStringLiteral("导出为Excel"), QStringLiteral("Excel文件|*.xlsx"),
                   m_lastWorkbook, m_sheetName + QStringLiteral(".xlsx"));
    if (!path)
        return;
    ResultsSheet sheet { m_sheetName, { headerLine() }, {}, {} };
    const QAbstractItemModel *model = m_table->model();
    for (int column = 0; column < model->columnCount(); ++column)
        sheet.numbers
            << model->headerData(column, Qt::Horizontal, ResultsModel::kNumbersRole).toBool();
    if (m_reasonsColumn)
        sheet.failures = QStringList();
    for (int row = 0; row < model->rowCount(); ++row) {
        sheet.lines << rowLine(row);
        if (sheet.failures)
            *sheet.failures << model->index(row, 0).data(ResultsModel::kFailureRole).toString();
    }
    if (const QString reason = WriteResultsWorkbook(*path, sheet); !reason.isEmpty()) {
        sayNotSaved(*path, reason);
        return;
    }
    m_lastWorkbook = *path;
}

void ResultsTableActions::offerRetry(RetryHooks hooks)
{
    m_retryHooks = std::move(hooks);
    m_retry = AddAction(m_table, "retryFailed", QString());
    connect(m_retry, &QAction::triggered, this, [this] { m_retryHooks.retry(); });
    refreshRetry();
}

void ResultsTableActions::refreshRetry()
{
    if (!m_retry)
        return;
    const int failed = m_retryHooks.failedRows();
    const QString text = QStringLiteral("重新查询失败的域名");
    m_retry->setText(failed > 0 ? text + QStringLiteral("（%1）").arg(failed) : text);
    const QString whyNot = failed > 0 ? m_retryHooks.whyNot() : QString();
    m_retry->setEnabled(failed > 0 && whyNot.isEmpty());
    m_retry->setToolTip(whyNot);
}

void ResultsTableActions::showMenu(const QPoint &at)
{
    refreshRetry();
    // The table's own menu, with the tool tips that say why an entry is disabled.
    QMenu menu(m_table);
    menu.addActions(m_table->actions());
    menu.setToolTipsVisible(true);
    menu.exec(at);
}

void ResultsTableActions::followNewRows()
{
    // Whether the view was at the bottom is read before the row arrives; after it, the new row
    // has already moved the bottom away. Sorted, a new row takes its place anywhere: one landing
    // above the first row shown would push what the user reads down, so the view moves with it.
    QAbstractItemModel *model = m_table->model();
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar *bar = m_table->verticalScrollBar();
        m_atBottom = bar->value() == bar->maximum();
        m_topRow = m_table->rowAt(0);
    });
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                const QHeaderView *header = m_table->horizontalHeader();
                const bool runOrder = header->sortIndicatorSection() == 0
                    && header->sortIndicatorOrder() == Qt::AscendingOrder;
                if (runOrder) {
                    if (m_atBottom)
                        m_table->scrollToBottom();
                    return;
                }
                QScrollBar *bar = m_table->verticalScrollBar();
                if (bar->value() == 0 || m_topRow < 0 || first > m_topRow)
                    return; // at the top the user sees the new leader; below, nothing moves
                int shift = last - first + 1;
                if (m_table->verticalScrollMode() == QAbstractItemView::ScrollPerPixel) {
                    shift = 0;
                    for (int row = first; row <= last; ++row)
                        shift += m_table->rowHeight(row);
                }
                m_table->doItemsLayout(); // the scroll range grows only on the next layout
                bar->setValue(bar->value() + shift);
            });
}

bool ResultsTableActions::eventFilter(QObject *watched, QEvent *event)
{
    // Compared with the viewport kept from the start: while the table is being destroyed its
    // viewport still sends events, and the table can no longer be asked for it.
    if (event->type() == QEvent::ContextMenu && (watched == m_viewport || watched == m_table)) {
        showMenu(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    if (event->type() != QEvent::ToolTip || watched != m_viewport)
        return QObject::eventFilter(watched, event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = m_table->indexAt(help->pos());
    const QString text = index.data().toString();
    const QRect cell = m_table->visualRect(index);
    const int margins
        = 2 * (m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 1);
    // A cell cut off by its column shows its whole text; a failed row says why.
    QStringList lines;
    if (index.isValid() && m_table->fontMetrics().horizontalAdvance(text) + margins > cell.width())
        lines << text;
    if (const QString why = index.data(Qt::ToolTipRole).toString(); !why.isEmpty())
        lines << why;
    if (!lines.isEmpty())
        QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(lines.join(u'\n')),
                           m_table->viewport(), cell);
    else
        QToolTip::hideText();
    return true;
}
