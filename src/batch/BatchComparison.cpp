#include "BatchComparison.h"

#include "ComparisonModel.h"
#include "HistoryStore.h"
#include "ResultsExport.h"

QString WriteLastComparison(const QString &historyFile, const QString &path)
{
    HistoryStore store(historyFile);
    store.openToRead();
    const QList<qint64> last = store.lastRuns(2);
    if (last.size() < 2)
        return QStringLiteral("历史中没有上一次查询可比较");
    const ComparisonModel model(
        CompareRuns(store.countsOf(last.at(1)), store.countsOf(last.at(0))));
    QList<QStringList> lines;
    lines << QStringList();
    for (int column = 0; column < model.columnCount(); ++column)
        lines.first() << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.index(row, column).data().toString();
        lines << cells;
    }
    return SaveResultsCsv(path, lines);
}
