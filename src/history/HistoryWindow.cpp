#include "HistoryWindow.h"

#include "CountReading.h"
#include "ResultsModel.h"

#include "AccessibleRoles.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QLineSeries>
#include <QSet>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

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

    m_rows->setAccessibleName(QStringLiteral("历次查询结果"));
    setAccessibleName(windowTitle());
    platform::ReadOutAsFrame(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(chartOf(domain, rows), 3);
    layout->addWidget(m_rows, 2);
    resize(760, 560);
}

QString CountLabel(int power)
{
    // 1, 10, 100, 1000, 1万 … 1000万, 1亿 …: as counts are said in Chinese.
    static const char *const kUnits[] = { "", "万", "亿" };
    if (power >= 12)
        return QStringLiteral("1万亿");
    const int unit = power / 4;
    return QString::number(qint64(std::pow(10, power % 4))) + QString::fromUtf8(kUnits[unit]);
}

QWidget *HistoryWindow::chartOf(const QString &domain, const QList<HistoryRow> &rows)
{
    auto *chart = new QChart;
    auto *time = new QDateTimeAxis;
    // Days; times of day as well when two runs share a day.
    QSet<QDate> days;
    for (const HistoryRow &row : rows)
        days.insert(row.fetched.date());
    const bool sharedDays = days.size() < rows.size();
    time->setFormat(sharedDays ? QStringLiteral("MM-dd HH:mm") : QStringLiteral("yyyy-MM-dd"));
    time->setTitleText(QStringLiteral("查询时间"));
    time->setTickCount(int(std::clamp<qsizetype>(rows.size(), 2, 6)));
    // One scale for engines a thousand times apart: a count's digits, each step ten times the
    // last, labelled as counts are said.
    auto *counts = new QCategoryAxis;
    counts->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    counts->setTitleText(QStringLiteral("收录数量（对数刻度）"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(counts, Qt::AlignLeft);
    double highest = 1;
    for (int k = 0; k < 4; ++k) {
        auto *line = new QLineSeries;
        line->setName(QString::fromUtf8(kEngines[k]));
        line->setPointsVisible(true);
        // Oldest first along the axis, each at its real time; a row without a number for this
        // engine leaves out nothing but its own point.
        for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
            if (const std::optional<qint64> value = CountValue(row->counts[k])) {
                const double height = std::log10(1.0 + double(*value));
                line->append(double(row->fetched.toMSecsSinceEpoch()), height);
                highest = std::max(highest, height);
            }
        }
        chart->addSeries(line);
        line->attachAxis(time);
        line->attachAxis(counts);
    }
    const int top = int(std::ceil(highest));
    counts->append(QStringLiteral("0"), 0);
    for (int power = 1; power <= top; ++power)
        counts->append(CountLabel(power), power);
    counts->setRange(0, top);
    if (!rows.isEmpty()) {
        // A single day still gets a readable axis.
        const QDateTime first = rows.constLast().fetched, last = rows.constFirst().fetched;
        time->setRange(first.addSecs(-3600), std::max(last, first.addSecs(3600)));
    }
    auto *view = new QChartView(chart, this);
    view->setObjectName(QStringLiteral("historyChart"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(QStringLiteral("%1的收录数量走势图").arg(domain));
    // A picture to look at: the keyboard goes to the table beside it, which holds the same data,
    // and the drawing surface inside is no second unnamed thing to land on.
    view->setFocusPolicy(Qt::NoFocus);
    view->viewport()->setFocusPolicy(Qt::NoFocus);
    view->viewport()->setAccessibleName(view->accessibleName());
    view->setAccessibleDescription(
        rows.isEmpty()
            ? QStringLiteral("没有记录")
            : QStringLiteral("百度、Google、360和Sogou的收录数量各一条线，对数刻度，共%1次查询，"
                             "从%2到%3；数据同下方表格。")
                  .arg(rows.size())
                  .arg(rows.constLast().fetched.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                       rows.constFirst().fetched.toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    return view;
}
