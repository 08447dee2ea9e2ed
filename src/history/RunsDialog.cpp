#include "RunsDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString RunKindText(const QString &kind)
{
    if (kind == QLatin1String("run"))
        return QStringLiteral("批量查询");
    if (kind == QLatin1String("batch"))
        return QStringLiteral("批量模式");
    if (kind == QLatin1String("add"))
        return QStringLiteral("添加域名");
    return QStringLiteral("重新查询");
}

} // namespace

RunsDialog::RunsDialog(Hooks hooks, QWidget *parent)
    : QDialog(parent)
    , m_hooks(std::move(hooks))
    , m_model(new QStandardItemModel(this))
    , m_table(new QTableView(this))
{
    setObjectName(QStringLiteral("RunsDialog"));
    setWindowTitle(QStringLiteral("历史查询"));
    m_model->setHorizontalHeaderLabels({ QStringLiteral("开始时间"), QStringLiteral("类型"),
                                         QStringLiteral("行数"), QStringLiteral("有结果"),
                                         QStringLiteral("失败"), QStringLiteral("服务") });
    m_table->setObjectName(QStringLiteral("runsTable"));
    m_table->setAccessibleName(QStringLiteral("历次查询"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *open = buttons->addButton(QStringLiteral("打开"), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("openRun"));
    QPushButton *remove = buttons->addButton(QStringLiteral("删除…"), QDialogButtonBox::ActionRole);
    remove->setObjectName(QStringLiteral("deleteRun"));
    QPushButton *compare = buttons->addButton(QStringLiteral("比较"), QDialogButtonBox::ActionRole);
    compare->setObjectName(QStringLiteral("compareRuns"));
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(640, 360);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(open, &QPushButton::clicked, this, [this] {
        if (const HistoryStore::RunSummary *run = picked()) {
            const qint64 id = run->id;
            accept();
            m_hooks.open(id);
        }
    });
    connect(m_table, &QTableView::doubleClicked, open, &QPushButton::click);
    connect(remove, &QPushButton::clicked, this, [this] {
        if (const HistoryStore::RunSummary *run = picked(); run && m_hooks.remove(*run))
            reload();
    });
    connect(compare, &QPushButton::clicked, this, [this] {
        QList<int> rows;
        for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
            rows << index.row();
        if (rows.size() != 2)
            rows = { 0, 1 };
        std::sort(rows.begin(), rows.end());
        if (rows.constLast() >= m_runs.size())
            return; // fewer than two runs
        const HistoryStore::RunSummary earlier = m_runs.at(rows.constLast());
        const HistoryStore::RunSummary later = m_runs.at(rows.constFirst());
        accept();
        m_hooks.compare(earlier, later);
    });
    reload();
}

void RunsDialog::reload()
{
    m_runs = m_hooks.list();
    m_model->setRowCount(0);
    for (const HistoryStore::RunSummary &run : std::as_const(m_runs)) {
        QList<QStandardItem *> cells;
        for (const QString &text :
             { run.started.toString(QStringLiteral("yyyy-MM-dd HH:mm")), RunKindText(run.kind),
               QString::number(run.rows), QString::number(run.rows - run.failed),
               QString::number(run.failed), run.service })
            cells << new QStandardItem(text);
        m_model->appendRow(cells);
    }
    m_table->resizeColumnsToContents();
    if (!m_runs.isEmpty())
        m_table->selectRow(0);
}

const HistoryStore::RunSummary *RunsDialog::picked() const
{
    const int row = m_table->currentIndex().row();
    return row >= 0 && row < m_runs.size() ? &m_runs.at(row) : nullptr;
}
