#include "ResultsTable.h"

#include <QHeaderView>
#include <QTreeWidget>

#include <array>

namespace {

struct Column
{
    const char *key;
    const char *text;
    int width; // pixels at 96 dpi
};

const std::array<Column, 6> kColumns { {
    { "bh", "编号", 53 },
    { "ym", "域名", 107 },
    { "bd", "百度", 133 },
    { "googl", "Google", 133 },
    { "san", "360", 133 },
    { "sogou", "Sogou", 133 },
} };

} // namespace

QStringList ResultsHeader()
{
    QStringList texts;
    for (const Column &column : kColumns)
        texts << QString::fromUtf8(column.text);
    return texts;
}

void SetUpResultsTable(QTreeWidget *table)
{
    table->setColumnCount(int(kColumns.size()));
    QTreeWidgetItem *header = table->headerItem();
    for (int i = 0; i < int(kColumns.size()); ++i) {
        header->setText(i, QString::fromUtf8(kColumns[i].text));
        header->setData(i, Qt::UserRole, QString::fromUtf8(kColumns[i].key));
        header->setTextAlignment(i, Qt::AlignLeft | Qt::AlignVCenter);
        table->setColumnWidth(i, kColumns[i].width);
    }
    table->header()->setStretchLastSection(false);
    table->header()->setSectionsMovable(false);
    table->header()->setSectionsClickable(true);
    table->setRootIsDecorated(false);
    table->setUniformRowHeights(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
}
