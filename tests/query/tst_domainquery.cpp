#include "DomainQuery.h"
#include "ListBox.h"
#include "ScriptedHttpServer.h"
#include "StatusBar.h"

#include <QTreeWidget>
#include <QtTest>

namespace {

QStringList RowTexts(const QTreeWidget &table, int row)
{
    QStringList texts;
    const QTreeWidgetItem *item = table.topLevelItem(row);
    for (int column = 0; item && column < 6; ++column)
        texts << item->text(column);
    return texts;
}

} // namespace

class TestDomainQuery : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        server = std::make_unique<ScriptedHttpServer>();
        QVERIFY(server->listen());
        server->setReply("/siteall/example.com",
                         { 200, StatisticsPageWith({ "12,300", "8,120", "", "35" }) });
        server->setReply("/siteall/home.example",
                         { 200, StatisticsPageWith({ "3", "", "", "1" }) });
        server->setReply("/siteall/missing.com", { 404, "<html>404 页面不存在</html>" });
        server->setReply("/siteall/norowend.com", { 200, "<td>收录数量</td><td><a>5</a></td>" });
        list = std::make_unique<platform::ListBox>();
        table = std::make_unique<QTreeWidget>();
        table->setColumnCount(6);
        status = std::make_unique<platform::StatusBar>();
        status->setPanels({ "运行提示：", "before", "", "Varnel出品" }, { 96, 636, 96, 96 }, 2);
        state = QueryState {};
        useServiceBase(server->base() + "/siteall/");
    }

    void idleSelectionOnlySetsTheToolTip()
    {
        list->addItems({ "example.com", "example.cn" });
        list->setListIndex(0);

        QCOMPARE(list->toolTip(), QString("双击列表删除:example.com"));
        QCOMPARE(table->topLevelItemCount(), 0);
        QVERIFY(server->requests.isEmpty());
        QCOMPARE(status->panelText(2), QString("before"));
    }

    void acceptedDomainFillsARowAndTheStatusLine()
    {
        for (int i = 0; i < 10; ++i)
            list->addItem(i == 0 ? "example.com" : QString("other%1.com").arg(i));
        state.queryMode = 1;
        list->setListIndex(0);

        QCOMPARE(RowTexts(*table, 0),
                 QStringList({ "1", "example.com", "12,300", "8,120", "0", "35" }));
        QCOMPARE(status->panelText(2),
                 QString("example.com查询完毕 | 共：10个域名 | 剩余查询：9个"));
        QCOMPARE(server->requests.size(), 1);
        QCOMPARE(server->requests.first().path, QByteArray("/siteall/example.com"));
        QCOMPARE(list->toolTip(), QString("双击列表删除:example.com"));
    }

    void rowsAreNumberedAndTheLastEntryLeavesNone()
    {
        list->addItem("home.example");
        state.queryMode = 1;
        list->setListIndex(0);
        list->setListIndex(0); // already current: queried again
        list->setListIndex(0);

        QCOMPARE(table->topLevelItemCount(), 3);
        QCOMPARE(RowTexts(*table, 2), QStringList({ "3", "home.example", "3", "0", "0", "1" }));
        QCOMPARE(status->panelText(2),
                 QString("home.example查询完毕 | 共：1个域名 | 剩余查询：0个"));
    }

    void failedFetchOrMissingRowGivesNumberAndDomainOnly_data()
    {
        QTest::addColumn<QString>("domain");
        QTest::newRow("404 page") << "missing.com";
        QTest::newRow("no </tr>") << "norowend.com";
        QTest::newRow("refused") << "refused.com";
    }
    void failedFetchOrMissingRowGivesNumberAndDomainOnly()
    {
        QFETCH(QString, domain);
        if (domain == "refused.com") {
            const QString base = server->base() + "/siteall/";
            server.reset(); // nobody listens on that port any more
            useServiceBase(base);
        }
        list->addItems({ domain, "example.com" });
        state.queryMode = 1;
        list->setListIndex(0);

        QCOMPARE(table->topLevelItemCount(), 1);
        QCOMPARE(RowTexts(*table, 0), QStringList({ "1", domain, "", "", "", "" }));
        QCOMPARE(status->panelText(2), QString("before"));
    }

    void rejectedDomainSkipsToTheNextEntry()
    {
        list->addItems({ "test.example", "EXAMPLE.COM", "example.com", "home.example" });
        state.queryMode = 1;
        list->setListIndex(0);

        QCOMPARE(state.queryCursor, 2);
        QCOMPARE(list->listIndex(), 2);
        QCOMPARE(table->topLevelItemCount(), 1);
        QCOMPARE(RowTexts(*table, 0).value(1), QString("example.com"));
        QCOMPARE(status->panelText(2),
                 QString("example.com查询完毕 | 共：4个域名 | 剩余查询：1个"));
        QCOMPARE(server->requests.size(), 1);
    }

    void rejectedLastEntryOnlyWritesTheStatus()
    {
        list->addItems({ "example.com", "test.example" });
        state.queryMode = 1;
        state.queryCursor = 1;
        list->setListIndex(1);

        QCOMPARE(status->panelText(2), QString("域名不正确,自动跳转下一个.."));
        QCOMPARE(list->listIndex(), 1);
        QCOMPARE(state.queryCursor, 1);
        QCOMPARE(table->topLevelItemCount(), 0);
        QVERIFY(server->requests.isEmpty());
    }

    void longStretchOfRejectedEntries()
    {
        const int rejected = 20000;
        QStringList entries;
        for (int i = 0; i < rejected; ++i)
            entries << QString("bad%1.test").arg(i);
        entries << "example.com";
        list->addItems(entries);
        int currentChanges = 0;
        connect(list.get(), &QListWidget::currentRowChanged, this, [&] { ++currentChanges; });
        state.queryMode = 1;
        list->setListIndex(0);

        QCOMPARE(currentChanges, rejected + 1); // every skipped entry became current in turn
        QCOMPARE(state.queryCursor, rejected);
        QCOMPARE(list->listIndex(), rejected);
        QCOMPARE(table->topLevelItemCount(), 1);
        QCOMPARE(server->requests.size(), 1);
    }

    void keyboardSelectionQueriesOnce()
    {
        list->addItems({ "example.com", "home.example" });
        list->setListIndexQuietly(0);
        state.queryMode = 1;
        QTest::keyClick(list.get(), Qt::Key_Down);

        QCOMPARE(server->requests.size(), 1);
        QCOMPARE(RowTexts(*table, 0).value(1), QString("home.example"));
    }

private:
    void useServiceBase(const QString &base)
    {
        query = std::make_unique<DomainQuery>(
            DomainQuery::Controls { list.get(), table.get(), status.get() }, state, base);
        connect(list.get(), &platform::ListBox::listClick, query.get(), &DomainQuery::onListClick);
    }

    std::unique_ptr<ScriptedHttpServer> server;
    std::unique_ptr<platform::ListBox> list;
    std::unique_ptr<QTreeWidget> table;
    std::unique_ptr<platform::StatusBar> status;
    QueryState state;
    std::unique_ptr<DomainQuery> query;
};

QTEST_MAIN(TestDomainQuery)
#include "tst_domainquery.moc"
