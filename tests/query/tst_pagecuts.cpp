#include "PageCuts.h"
#include "SuffixMarkers.h"

#include <QtTest>

namespace {

QString Cell(const QString &count)
{
    return QStringLiteral("<td class=\"n\"><a href=\"/x\">%1</a></td>").arg(count);
}

QString Page(const QString &cells, const QString &after = QStringLiteral("</tr></table>"))
{
    return QStringLiteral(
               "<html><table><tr><td>搜索引擎</td></tr>\n<tr><td class=\"t\">收录数量</td>")
        + cells + after + QStringLiteral("</html>");
}

QStringList Counts(const QString &page)
{
    const QString row = CutResultsRow(page);
    if (row.isEmpty())
        return {};
    const PageCounts counts = CutCounts(row);
    return { counts.begin(), counts.end() };
}

} // namespace

class TestPageCuts : public QObject
{
    Q_OBJECT

private slots:
    void countsOfAWellFormedRow_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("counts");
        QTest::newRow("links with counts")
            << Page(Cell("7") + Cell("2,000") + Cell("") + Cell("35"))
            << QStringList { "7", "2,000", "0", "35" };
        QTest::newRow("comma kept, nothing trimmed")
            << Page(Cell("12,300") + Cell(" 8 ") + Cell("1,300,000") + Cell("0"))
            << QStringList { "12,300", " 8 ", "1,300,000", "0" };
        QTest::newRow("count straight in its cell gives 0")
            << Page("<td>7</td>" + Cell("5") + "<td class=\"n\">9</td>" + Cell("1"))
            << QStringList { "0", "5", "0", "1" };
        QTest::newRow("fewer than four cells")
            << Page(Cell("4") + Cell("5")) << QStringList { "4", "5", "0", "0" };
        QTest::newRow("no cells at all") << Page("") << QStringList { "0", "0", "0", "0" };
        QTest::newRow("cell without its end tag")
            << Page(Cell("1") + "<td><a>2</a>") << QStringList { "1", "0", "0", "0" };
        QTest::newRow("two label cells: only the first row counts")
            << Page(Cell("1") + Cell("2"),
                    "</tr><tr><td>收录数量</td>" + Cell("8") + Cell("9") + Cell("10") + "</tr>")
            << QStringList { "1", "2", "0", "0" };
        QTest::newRow("second label before the row end")
            << Page(Cell("1") + "<td>收录数量</td>" + Cell("9") + Cell("9"), "</tr>")
            << QStringList {};
    }
    void countsOfAWellFormedRow()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, counts);
        QCOMPARE(Counts(page), counts);
    }

    void noRowWithoutLabelOrRowEnd_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("empty page") << QString();
        QTest::newRow("no label cell") << QStringLiteral("<tr><td>收录</td><td><a>5</a></td></tr>");
        QTest::newRow("label in other case")
            << QStringLiteral("<TD>收录数量</TD><td><a>5</a></td></tr>");
        QTest::newRow("no </tr> after the label") << Page(Cell("5"), QString());
    }
    void noRowWithoutLabelOrRowEnd()
    {
        QFETCH(QString, page);
        QVERIFY(CutResultsRow(page).isEmpty());
    }

    void rowEndsWithTheLessThanOfItsEnd()
    {
        const QString row = CutResultsRow(Page(Cell("3")));
        QCOMPARE(row, Cell("3") + "<");
        QCOMPARE(CutCount(row, 1), QString("3"));
        QCOMPARE(CutCount(row, 2), QString());
    }

    void suffixMarkersAreContainedNotTrailing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("example.com") << "example.com" << true;
        QTest::newRow("home.example has me") << "home.example" << true;
        QTest::newRow("acc.example has cc") << "acc.example" << true;
        QTest::newRow("test.example") << "test.example" << false;
        QTest::newRow("upper case only") << "EXAMPLE.COM" << false;
        QTest::newRow("info") << "a.info" << true;
        QTest::newRow("hk") << "a.hk" << true;
        QTest::newRow("empty") << "" << false;
    }
    void suffixMarkersAreContainedNotTrailing()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QCOMPARE(HasAcceptedSuffix(text), accepted);
    }
};

QTEST_APPLESS_MAIN(TestPageCuts)
#include "tst_pagecuts.moc"
