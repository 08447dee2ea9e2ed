#include "BatchResume.h"

#include "ResultsExport.h"
#include "ResultsModel.h"

EarlierRows ReadEarlierRows(QIODevice &file)
{
    EarlierRows earlier;
    qint64 line = 1; // the header's
    const CsvReadEnd end
        = ReadResultsCsv(file, CsvLine(ResultsModel::header()), [&](const QStringList &cells) {
              ++line;
              if (cells.size() != 6) {
                  earlier.problem = QStringLiteral("第%1行不是一行结果。").arg(line);
                  return false;
              }
              bool number = false;
              const qint64 value = cells.at(0).toLongLong(&number);
              if (!number || value < 1 || value > kMaxRowNumber || !cells.at(0).front().isDigit()) {
                  earlier.problem = QStringLiteral("第%1行的编号超出范围。").arg(line);
                  return false;
              }
              earlier.lastNumber = std::max(earlier.lastNumber, value);
              if (!cells.mid(2).join(QString()).isEmpty()) {
                  // The apostrophe that defused a formula was ours, not the domain's.
                  const QString &cell = cells.at(1);
                  const QString bare = cell.mid(1);
                  earlier.counted.insert(
                      cell.startsWith(u'\'') && SpreadsheetSafe(bare) == cell ? bare : cell);
              }
              return true;
          });
    earlier.wholeBytes = end.wholeBytes;
    if (end.kind == CsvReadEnd::Broken)
        earlier.problem = QStringLiteral("不是本程序批量模式写出的结果文件。");
    earlier.unfinished = end.kind == CsvReadEnd::Unfinished;
    return earlier;
}
