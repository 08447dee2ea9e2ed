#include "HistoryWindow.h"

#include "CountReading.h"
#include "ResultsModel.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QLineSeries>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace {

const char *const kEngines[] = { "百度", "Google", "360", "Sogou" };

} // namespace

HistoryWindow::HistoryWindow(const QString &domain, const QList<HistoryRow> &rows, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_rows(new QTableView(this))
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("历史记录：%1").arg(domain));
    auto *model = new QStandardItemModel(0, 6, m_rows);
    model->setHorizontalHeaderLabels({ QStringLiteral("查询时间"), QStringLiteral("百度"),
                                       QStringLiteral("Google"), QStringLiteral("360"),
                                       QStringLiteral("Sogou"), QStringLiteral("失败原因") });
    for (int column = 1; column <= 4; ++column) // the counts, for a spreadsheet
        model->setHeaderData(column, Qt::Horizontal, true, ResultsModel::kNumbersRole);
    for (const HistoryRow &row : rows) {
        QList<QStandardItem *> cells { new QStandardItem(
            row.fetched.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) };
        for (const QString &count : row.counts)
            cells << new QStandardItem(count);
        cells << new QStandardItem(row.failure);
        model->appendRow(cells);
    }
    m_rows->setObjectName(QStringLiteral("historyRows"));
    m_rows->setModel(model);
    m_rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rows->verticalHeader()->hide();
    m_rows->horizontalHeader()->setStretchLastSection(true);
    m_rows->resizeColumnToContents(0);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(chartOf(rows), 3);
    layout->addWidget(m_rows, 2);
    resize(760, 560);
}

QWidget *HistoryWindow::chartOf(const QList<HistoryRow> &rows)
{
    auto *chart = new QChart;
    auto *time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("yyyy-MM-dd"));
    time->setTitleText(QStringLiteral("查询日期"));
    auto *counts = new QValueAxis;
    counts->setLabelFormat(QStringLiteral("%.0f"));
    counts->setTitleText(QStringLiteral("收录数量"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(counts, Qt::AlignLeft);
    qint64 largest = 0;
    for (int k = 0; k < 4; ++k) {
        auto *line = new QLineSeries;
        line->setName(QString::fromUtf8(kEngines[k]));
        line->setPointsVisible(true);
        // Oldest first along the axis; a row without a number for this engine leaves a gap
        // in nothing but its own point.
        for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
            if (const std::optional<qint64> value = CountValue(row->counts[k])) {
                line->append(double(row->fetched.toMSecsSinceEpoch()), double(*value));
                largest = std::max(largest, *value);
            }
        }
        chart->addSeries(line);
        line->attachAxis(time);
        line->attachAxis(counts);
    }
    if (!rows.isEmpty()) {
        // A single day still gets a readable axis.
        const QDateTime first = rows.constLast().fetched, last = rows.constFirst().fetched;
        time->setRange(first.addSecs(-3600), std::max(last, first.addSecs(3600)));
    }
    counts->setRange(0, largest > 0 ? double(largest) * 1.1 : 10);
    counts->applyNiceNumbers();
    auto *view = new QChartView(chart, this);
    view->setObjectName(QStringLiteral("historyChart"));
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}
