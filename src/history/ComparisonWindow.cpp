#include "ComparisonWindow.h"

#include "AccessibleRoles.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

ComparisonWindow::ComparisonWindow(const QString &title, QList<ComparedDomain> domains,
                                   QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_view(new ComparisonView(new ComparisonModel(std::move(domains), this), this))
    , m_table(new QTableView(this))
{
    setObjectName(QStringLiteral("ComparisonWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setAccessibleName(title);
    platform::ReadOutAsFrame(this);
    auto *filter = new QComboBox(this);
    filter->setObjectName(QStringLiteral("comparisonFilter"));
    filter->addItems(ComparisonFilterNames());
    auto *label = new QLabel(QStringLiteral("显示："), this);
    label->setBuddy(filter);
    connect(filter, &QComboBox::currentIndexChanged, this,
            [this](int choice) { m_view->setFilter(ComparisonFilter(choice)); });
    m_table->setObjectName(QStringLiteral("comparisonRows"));
    m_table->setAccessibleName(QStringLiteral("两次查询的比较"));
    m_table->setModel(m_view);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(-1, Qt::AscendingOrder); // the later run's order until a click
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    // Sized by the first rows: measuring 32,767 of them would take longer than the comparison.
    m_table->horizontalHeader()->setResizeContentsPrecision(200);
    m_table->resizeColumnsToContents();
    auto *choice = new QHBoxLayout;
    choice->addWidget(label);
    choice->addWidget(filter);
    choice->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(m_table);
    resize(900, 520);
}
