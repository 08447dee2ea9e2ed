#include "CountReading.h"
#include "DomainPage.h"
#include "Form1Fixture.h"
#include "PageCuts.h"
#include "SuffixMarkers.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

namespace {

QString Cell(const QString &count)
{
    return QStringLiteral("<td class=\"n\"><a href=\"/x\">%1</a></td>").arg(count);
}

QString Page(const QString &cells, const QString &after = QStringLiteral("</tr></table>"))
{
    return "<table><tr><td>引擎</td></tr>\n<tr><td class=\"t\">收录数量</td>" + cells + after;
}

const QString kRunning = QStringLiteral("停止查询 list:0 pace:0 timer:1 mode:1");
const QString kIdle = QStringLiteral("批量查询 list:1 pace:1 timer:0 mode:0 cursor:0");

} // namespace

class TestQuery : public QObject
{
    Q_OBJECT

private slots:
    // The counts row is the one after the first label, cut cell by cell: linked counts kept as
    // they stand (comma, blanks), an empty one 0; a count straight in its cell, a missing cell or
    // one without its end 0. A second label before the row's end, or no end: no counts row.
    void pageCuts()
    {
        const std::pair<QString, QStringList> pages[] = {
            { Page(Cell("2,000") + Cell("") + Cell(" 8 ") + Cell("35")),
              { "2,000", "0", " 8 ", "35" } },
            { Page("<td>7</td>" + Cell("5") + "<td class=\"n\">9</td>"), { "0", "5", "0", "0" } },
            { Page(Cell("1") + "<td><a>2</a>"), { "1", "0", "0", "0" } },
            { Page(Cell("1"), "</tr><tr><td>收录数量</td>" + Cell("8") + "</tr>"),
              { "1", "0", "0", "0" } },
            { Page(Cell("1") + "<td>收录数量</td>" + Cell("9"), "</tr>"), {} },
            { Page(Cell("5"), QString()), {} },
        };
        for (const auto &[page, counts] : pages) {
            const QString row = CutResultsRow(page);
            const PageCounts cut = CutCounts(row);
            QCOMPARE(row.isEmpty() ? QStringList() : QStringList(cut.begin(), cut.end()), counts);
        }
    }

    // What a count cell stands for, for sorting and spreadsheets.
    void countReading()
    {
        const std::pair<QString, qint64> numbers[] = {
            // Digits with separators every three, blanks around, 约 before and a word after.
            { "1,234", 1234 },
            { "0", 0 },
            { " 8 ", 8 },
            { "约100", 100 },
            { "1.2万", 12000 },
            { "1.25万", 12500 },
            { "12.5万条", 125000 },
            { "3亿", 300000000 },
            { "约 2亿", 200000000 },
            { "9007199254740992", 9007199254740992 },
        };
        for (const auto &[text, value] : numbers)
            QVERIFY2(CountValue(text) == value, qPrintable(text));
        // A word, a formula, a fraction rounded away, misplaced separators, more than a
        // spreadsheet holds exactly.
        for (const char *none : { "", "-", "暂无", "1万2", "=1+1", "1e9", "1.5", "0.5", "1.23456万",
                                  "1,,,2", "12,34", "9007199254740993" })
            QVERIFY2(!CountValue(QString::fromUtf8(none)), none);
    }

    // Each suffix is found anywhere in the name, case-sensitively.
    void suffixMarkers()
    {
        for (const char *accepted : { "a.com", "a.cn", "a.org", "a.info", "a.hk", "a.me", "a.net",
                                      "a.cc", "home.example" })
            QVERIFY2(HasAcceptedSuffix(accepted), accepted);
        for (const char *rejected : { "a.HK", "test.example", "a.c0m", "" })
            QVERIFY2(!HasAcceptedSuffix(rejected), rejected);
    }

    void init()
    {
        f = std::make_unique<Form1Fixture>();
        for (const char *domain : { "<i>a.com", "a.com", "b.com", "d.com", "e.com" })
            f->serveCounts(domain, { "1", "2", "3", "4" });
        f->serveCounts("c.com", { "12,300", "", "7", "35" });
    }

    // Each way a page can fail has the words the row and the status line give it.
    void failureWords()
    {
        using Mode = ScriptedHttpServer::Mode;
        const std::pair<ScriptedHttpServer::Reply, const char *> pages[] = {
            { { 200, {}, Mode::NoAnswer }, "超时" },
            { { 200, QByteArray(4096, 'x'), Mode::CloseMidBody }, "数据格式错误" },
            { { 404, "gone" }, "HTTP 404" },
            { { 200, "<html>no table</html>" }, "页面中没有收录数据" },
        };
        FetchLimits limits;
        limits.timeLimitMs = 300; // for the page that never answers
        const QString base = f->server.base() + "/siteall/";
        for (const auto &[reply, words] : pages) {
            f->server.setReply("/siteall/x.com", reply);
            QCOMPARE(FetchDomainPage(base, "x.com", limits).failure, QString(words));
        }
        QCOMPARE(FetchDomainPage("http://127.0.0.1:9/siteall/", "x.com", limits).failure,
                 QString("无法连接"));
    }

    // An empty list is said, never run. Import, set the pace, run to the end one step at a time
    // (with a query of the last entry through cx meanwhile), restart, shorten the list under the
    // run, stop. Text from the file is shown, not read as markup.
    void runWalk()
    {
        f->click("Command2");
        QCOMPARE(f->status()->panelText(2), QString("请先导入要查询的域名"));
        const QString emptyListBox = "information Varnel软件: 请先导入要查询的域名";
        QCOMPARE(f->fake.log, QStringList({ emptyListBox }));
        QCOMPARE(f->runState(), kIdle);

        f->importLines({ "<i>a.com", "b.com", "c.com" });
        QVERIFY(f->server.requests.isEmpty()); // selecting outside a run queries nothing
        slider()->setFocus();
        QTest::keyClick(slider(), Qt::Key_End);
        QCOMPARE(f->find<QLabel>("Label2")->text(), "60秒/次");

        f->click("Command2");
        QCOMPARE(f->runState(), kRunning + " cursor:0");
        QCOMPARE(timer()->interval(), 60'000);
        QCOMPARE(f->rowTexts(0), QStringList({ "1", "<i>a.com", "1", "2", "3", "4" }));
        QCOMPARE(f->status()->panelText(2), "<i>a.com查询完毕 | 共：3个域名 | 剩余查询：2个");
        QCOMPARE(f->status()->panel(2)->textFormat(), Qt::PlainText);
        f->form->cx(); // the run goes on querying after it
        f->step();
        QCOMPARE(f->runState(), kRunning + " cursor:1");
        QCOMPARE(f->rowTexts(2).mid(0, 2), QStringList({ "3", "b.com" }));
        f->step(); // makes the last entry current: the run ends with it
        QCOMPARE(f->runState(), kIdle);
        QCOMPARE(f->rowTexts(3), QStringList({ "4", "c.com", "12,300", "0", "7", "35" }));
        QCOMPARE(f->status()->panelText(2), QString("所有域名已查询完毕!"));

        f->click("Command2"); // a new start clears the rows and begins with entry 0
        QCOMPARE(f->rowCount(), 1);
        f->step();
        f->importLines({ "a.com", "b.com" }); // its last entry is queried: the run is on
        QCOMPARE(f->runState(), kRunning + " cursor:1");
        f->step(); // the cursor lies at the end of the shorter list: the run ends
        QCOMPARE(f->runState(), kIdle);
        QCOMPARE(f->rowCount(), 3);
        f->click("Command2");
        f->click("Command2");
        f->step(); // a step queued before the stop belongs to no run
        QCOMPARE(f->runState(), kIdle);
        QCOMPARE(f->server.requests.size(), 8);
        f->click("Command2");
        f->importFile(f->writeFile("empty.txt", ""));
        f->click("Command2"); // the empty-list message instead of a stop
        QCOMPARE(f->fake.log.last(), emptyListBox);
        f->step();
        QCOMPARE(f->runState(), kIdle);
    }

    // A step due while a page is late runs inside that wait; a page that never answers holds
    // up nothing after it. Rows come in the order the queries finish.
    void latePagesAndStopsInsideWaits()
    {
        f->serveCounts("slow.com", { "5", "6", "7", "8" }, ScriptedHttpServer::Mode::Held);
        f->serveCounts("never.com", {}, ScriptedHttpServer::Mode::Held);
        f->importLines({ "a.com", "slow.com", "never.com", "b.com" });
        QVERIFY(f->workElsewhere()); // the end is announced, once though reached twice
        int rowsWhenTheRunEnded = -1;
        f->onRequest("slow.com", [this] { f->step(); });
        f->onRequest("never.com", [&] {
            f->step(); // b.com, the last entry, inside never.com's wait: the run ends
            rowsWhenTheRunEnded = timer()->isActive() ? -1 : f->rowCount();
            f->server.setReply(
                "/siteall/never.com",
                { 200, QByteArray(100, 'x'), ScriptedHttpServer::Mode::CloseMidBody });
            f->server.release(); // never.com's connection breaks
        });
        f->click("Command2");
        timer()->setInterval(3600 * 1000); // the steps come from the test
        f->step();
        QCOMPARE(rowsWhenTheRunEnded, 2);
        QCOMPARE(f->rowTexts(1).mid(0, 2), QStringList({ "2", "b.com" }));
        QCOMPARE(f->rowTexts(2), QStringList({ "3", "never.com", "", "", "", "" }));
        QCOMPARE(f->rowTexts(3), QStringList({ "4", "slow.com", "5", "6", "7", "8" }));
        QCOMPARE(f->status()->panelText(2), QString("所有域名已查询完毕!"));
        QCOMPARE(f->fake.desktop.filter(QRegularExpression("^notify")).size(), 1);

        // A stop while two steps wait, one inside the other, or while the start's first query
        // waits: nothing more is queried; the rows still land, and the steps that made the last
        // entry current end the run when they resume, after the last status line.
        f->serveCounts("slow.com", { "5", "6", "7", "8" }, ScriptedHttpServer::Mode::Held);
        f->serveCounts("late.com", { "9", "9", "9", "9" }, ScriptedHttpServer::Mode::Held);
        f->importLines({ "a.com", "slow.com", "late.com" });
        f->onRequest("late.com", [this] {
            f->click("Command2");
            f->server.release();
        });
        f->server.requests.clear();
        f->click("Command2");
        timer()->setInterval(3600 * 1000);
        f->step();
        QCOMPARE(f->rowCount(), 3);
        QCOMPARE(f->server.requests.size(), 3);
        QCOMPARE(f->status()->panelText(2), QString("所有域名已查询完毕!"));
        QCOMPARE(f->runState(), kIdle);
        f->importLines({ "late.com", "a.com" });
        f->click("Command2"); // stopped when its page was asked for: the start arms no timer
        QCOMPARE(f->rowCount(), 1);
        QCOMPARE(f->runState(), kIdle);
        // A window gone for good while its page is on the way is not touched again.
        f->serveCounts("a.com", { "1", "1", "1", "1" }, ScriptedHttpServer::Mode::Held);
        f->onRequest("a.com", [this] {
            f->form.reset();
            f->server.release();
        });
        f->form->cx();
        QVERIFY(!f->form);
    }

    // Steps wait inside each other only as deep as allowed (16 waits): a step due at the bound
    // is not started, and a query asked meanwhile (an add's) is held back. Going on, the held
    // query starts once a wait returns and every entry still gets its row. A stop keeps it; a new
    // start drops it with the table it belonged to, and the new run's own first query is the one
    // the next returning wait starts.
    void queriesAtTheNestingBound_data()
    {
        QTest::addColumn<QString>("then");
        QTest::newRow("go on") << "go on";
        QTest::newRow("stop") << "stop";
        QTest::newRow("stop and start") << "start";
    }
    void queriesAtTheNestingBound()
    {
        QFETCH(QString, then);
        QStringList domains;
        for (int i = 0; i <= 17; ++i)
            domains << QStringLiteral("d%1.com").arg(i);
        for (const QString &domain : domains)
            f->serveCounts(domain, { "1", "1", "1", "1" },
                           domain == "d0.com" || domain == "d17.com"
                               ? ScriptedHttpServer::Mode::Normal
                               : ScriptedHttpServer::Mode::Held);
        f->serveCounts("x.com", { "2", "2", "2", "2" });
        f->importLines(domains);
        f->click("Command2"); // d0 answers at once
        int deepest = 0, afterTheStep = 0;
        bool newRunInTime = false;
        QTimer watchdog; // only a fault leaves the pages held this long
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, this, [this] { f->server.release(); });
        f->onRequest(domains.first(), [&] { // the new run's first query
            newRunInTime = watchdog.isActive();
            watchdog.stop();
            f->server.release();
        });
        for (int i = 1; i < 16; ++i)
            f->onRequest(domains.at(i), [this] { f->step(); }); // the next step, inside this wait
        f->onRequest(domains.at(16), [&] {
            deepest = waiting();
            f->step(); // due at the bound: not started
            afterTheStep = waiting();
            addAndQuery("x.com"); // held back
            if (then != "go on")
                f->click("Command2");
            if (then == "start") {
                f->click("Command2");
                f->server.release("/siteall/d16.com"); // one wait returns
                watchdog.start(60'000);
                return;
            }
            f->server.release();
        });
        f->step();
        QTRY_VERIFY_WITH_TIMEOUT(!watchdog.isActive() && waiting() == 0, 120'000);
        QCOMPARE(deepest, 16);
        QCOMPARE(afterTheStep, 16);
        QCoreApplication::sendPostedEvents(); // whatever a returning wait left to start
        if (then == "go on") {
            StepRunToItsEnd(*f->form);
            QCOMPARE(f->rowCount(), 20); // d0 to d17, and x.com by the add and by the run
            QCOMPARE(domainsShown().filter("x.com").size(), 2);
            QCOMPARE(f->status()->panelText(2), QString("所有域名已查询完毕!"));
        } else if (then == "stop") { // the add the user asked for still lands
            QCOMPARE(f->rowCount(), 18);
            QCOMPARE(domainsShown().filter("x.com").size(), 1);
            QCOMPARE(f->runState(), kIdle);
        } else {
            QVERIFY(!f->asked("x.com"));
            QVERIFY(newRunInTime);
            QCOMPARE(f->rowTexts(0).mid(0, 2), QStringList({ "1", "d0.com" }));
            QCOMPARE(f->rowCount(), 1); // nor in the status line: the old pages came later
            QVERIFY(f->status()->panelText(2).startsWith("d0.com查询完毕"));
        }
    }

    // While a step waits for its page, an add with its immediate query makes the last entry
    // current, yet the resumed step goes on with the run.
    void actsInsideAStepWait()
    {
        f->serveCounts("b.com", { "5", "6", "7", "8" }, ScriptedHttpServer::Mode::Held);
        f->importLines({ "a.com", "b.com", "c.com", "d.com" });
        f->click("Command2");
        f->onRequest("b.com", [this] {
            addAndQuery("e.com");
            f->server.release();
        });
        f->step();
        QCOMPARE(f->runState(), kRunning + " cursor:1");
        QCOMPARE(f->rowTexts(2).mid(0, 3), QStringList({ "3", "b.com", "5" }));
        f->step();
        QCOMPARE(f->rowTexts(3).mid(0, 2), QStringList({ "4", "c.com" }));
    }

    // A rejected entry clicked while an add's query waits is skipped outside any run; the
    // next run still begins with its first entry and walks every one after it.
    void runStartsAtItsFirstEntry()
    {
        f->serveCounts("d.com", { "5", "6", "7", "8" }, ScriptedHttpServer::Mode::Held);
        f->importLines({ "a.com", "bad", "c.com", "d.com" });
        f->onRequest("d.com", [this] {
            QListWidget *list = f->list();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(1)).center());
            f->server.release();
        });
        f->form->cx();
        f->click("Command2");
        QCOMPARE(f->runState(), kRunning + " cursor:0");
        f->step();
        QCOMPARE(f->list()->currentItem()->text(), QString("c.com"));
    }

    // Rows without counts are queried again from the table's menu, in table order at the
    // pace, each filled in place; a row of zeros is a result and is left alone. A row that fails
    // again stays failed. The retry starts and stops like a run.
    void retryFailedRows()
    {
        f->serveCounts("zero.com", { "0", "0", "0", "0" });
        f->importLines({ "a.com", "x.com", "zero.com", "y.com" }); // x.com, y.com: no page yet
        QAction *retry = f->table()->findChild<QAction *>("retryFailed");
        QVERIFY(f->workElsewhere()); // the user works in another window meanwhile
        f->click("Command2");
        QVERIFY(!retry->isEnabled());
        StepRunToItsEnd(*f->form);
        QVERIFY(f->menu().contains("重新查询失败的域名（2）"));
        QVERIFY(retry->isEnabled());
        // A failed row says why and looks unlike a row with counts; the end says how it went.
        const QAbstractItemModel *rows = f->table()->model();
        QCOMPARE(rows->index(1, 5).data(Qt::ToolTipRole).toString(), "失败原因：HTTP 404");
        QVERIFY(rows->index(0, 5).data(Qt::ToolTipRole).isNull());
        QVERIFY(rows->index(1, 1).data(Qt::ForegroundRole)
                != rows->index(0, 1).data(Qt::ForegroundRole));
        // Selected, its colour gives way to the selection's: its shape still tells.
        QVERIFY(rows->index(1, 1).data(Qt::FontRole).value<QFont>().italic());
        QVERIFY(!rows->index(0, 1).data(Qt::FontRole).value<QFont>().italic());
        QCOMPARE(f->status()->panel(2)->toolTip(), QString("有结果2行，失败2行"));
        // The end shows outside the window: progress on the launcher, then a notification.
        QCOMPARE(
            f->fake.desktop,
            QStringList({ "progress 0.25", "progress 0.5", "progress 0.75", "progress 1",
                          "progress off",
                          "notify " + f->form->windowTitle() + "|共4个域名：有结果2个，失败2个",
                          "alert" }));
        f->fake.activateNotice(); // a click on the notification brings the window back
        QTRY_VERIFY(f->form->isActiveWindow());
        f->fake.desktop.clear();

        f->serveCounts("y.com", { "5", "6", "7", "8" });
        f->server.requests.clear();
        QSignalSpy repaint(f->table()->model(), &QAbstractItemModel::dataChanged);
        f->server.setReply("/siteall/x.com", { 500, "<html>down</html>" });
        slider()->setValue(7);
        retry->trigger(); // x.com fails again: its cells stay empty, it says why, not 查询完毕
        QCOMPARE(f->runState(), kRunning + " cursor:0");
        QCOMPARE(timer()->interval(), 7000); // at the pace set
        QVERIFY(!retry->isEnabled());
        QCOMPARE(f->rowTexts(1), QStringList({ "2", "x.com", "", "", "", "" }));
        QCOMPARE(rows->index(1, 0).data(Qt::ToolTipRole).toString(), "失败原因：HTTP 500");
        QCOMPARE(f->status()->panelText(2), "x.com仍然失败（HTTP 500） | 剩余查询：1个");
        f->step(); // y.com has counts now; it was the last: the retry ends
        QCOMPARE(f->rowTexts(3), QStringList({ "4", "y.com", "5", "6", "7", "8" }));
        QVERIFY(rows->index(3, 0).data(Qt::ToolTipRole).isNull());
        QCOMPARE(repaint.size(), 2); // the table is told of each, and draws the row again
        QCOMPARE(repaint.last().first().toModelIndex().row(), 3);
        QCOMPARE(f->runState(), kIdle);
        QCOMPARE(f->status()->panelText(2), QString("重新查询完毕：有结果3行，失败1行"));
        QCOMPARE(f->server.requests.size(), 2); // never zero.com
        QCOMPARE(f->fake.desktop, QStringList({ "progress 0.5", "progress 1", "progress off" }));
        QVERIFY(f->menu().contains("重新查询失败的域名（1）"));

        // A retry does not walk the list: emptied meanwhile, it is still stopped by the button.
        f->importFile(f->writeFile("blank.txt", "\n\n"));
        f->fake.log.clear();
        f->serveCounts("x.com", { "1", "1", "1", "1" }, ScriptedHttpServer::Mode::Held);
        f->onRequest("x.com", [this] {
            f->click("Command2"); // stopped while its page is on the way
            f->server.release();
        });
        retry->trigger();
        QCOMPARE(f->runState(), kIdle);
        QVERIFY(f->fake.log.isEmpty());
        QCOMPARE(f->rowTexts(1).mid(0, 3), QStringList({ "2", "x.com", "1" })); // it still lands
        QVERIFY(f->menu().contains("重新查询失败的域名"));
        QVERIFY(!retry->isEnabled());
    }

    // A click on a header sorts by its column: counts by their value, the largest first, rows
    // without counts last either way; a second click reverses; 编号 brings back the run's order.
    // A new row takes its sorted place; the menu can show only the failed rows; a copy takes
    // the rows in the order shown.
    void sortingAndFiltering()
    {
        f->serveCounts("big.com", { "1.2万", "1", "1", "1" });
        f->serveCounts("mid.com", { "9,999", "1", "1", "1" });
        f->serveCounts("small.com", { "约100", "1", "1", "1" });
        f->serveCounts("late.com", { "5亿", "1", "1", "1" });
        f->importLines({ "small.com", "none.com", "big.com", "mid.com", "late.com" });
        f->click("Command2");
        f->step();
        f->step();
        f->step();
        QHeaderView *header = f->table()->horizontalHeader();
        QVERIFY(!header->isSortIndicatorShown()); // nothing sorted yet: no arrow
        f->clickHeader(2);
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(domainsShown(), QStringList({ "big.com", "mid.com", "small.com", "none.com" }));
        f->clickHeader(2);
        QCOMPARE(domainsShown(), QStringList({ "small.com", "mid.com", "big.com", "none.com" }));
        f->step(); // the last row arrives sorted
        QCOMPARE(domainsShown(),
                 QStringList({ "small.com", "mid.com", "big.com", "late.com", "none.com" }));
        QCOMPARE(f->rowTexts(3).mid(0, 3), QStringList({ "5", "late.com", "5亿" }));

        f->table()->findChild<QAction *>("failedOnly")->trigger();
        QCOMPARE(domainsShown(), QStringList({ "none.com" }));
        f->table()->findChild<QAction *>("failedOnly")->trigger();
        f->clickHeader(1);
        QCOMPARE(domainsShown().first(), QString("big.com"));
        f->table()->setFocus();
        QTest::keyClick(f->table(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(f->table(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(f->fake.log.last().section(u'\n', 1, 1).section(u'\t', 1, 1), QString("big.com"));
        f->clickHeader(0);
        QCOMPARE(domainsShown(),
                 QStringList({ "small.com", "none.com", "big.com", "mid.com", "late.com" }));
    }

    // A long stretch of domains without a suffix is skipped one entry after the other, up to the
    // last; a rejected last entry only says so.
    void rejectedDomains()
    {
        f->importLines(QStringList(20000, "bad.test")
                       + QStringList({ "EXAMPLE.COM", "home.example", "test.example", "z.com" }));
        f->click("Command2"); // skips the whole stretch, one entry after the other
        QCOMPARE(f->runState(), kRunning + " cursor:20001");
        QCOMPARE(f->rowTexts(0).mid(0, 2), QStringList({ "1", "home.example" }));
        f->step(); // a rejected entry just before the last: the last is queried at once
        QCOMPARE(f->rowTexts(1).mid(0, 2), QStringList({ "2", "z.com" }));
        QCOMPARE(f->runState(), kIdle);

        f->importLines({ "test.example" });
        f->form->cx();
        QCOMPARE(f->status()->panelText(2), QString("域名不正确,自动跳转下一个.."));
        QCOMPARE(f->rowCount(), 2);
        QCOMPARE(f->runState(), kIdle); // the cursor stays on the last entry
    }

    // An entry goes into its page's address as one path segment, whatever it holds: it never
    // asks for another page, adds a query or is cut at a "#"; the row keeps the entry's text.
    void entriesStayInTheirSegment()
    {
        f->serveCounts("a.com/../../version/main.txt", { "5", "5", "5", "5" });
        f->importLines({ "a.com/../../version/main.txt", "a.com/%2e%2e/x", "a.com?x=1",
                         "a.com#frag", "例子.com" });
        f->click("Command2");
        StepRunToItsEnd(*f->form);
        QStringList paths;
        for (const QByteArray &request : std::as_const(f->server.requests))
            paths << QString::fromLatin1(request.split(' ').value(1));
        QCOMPARE(paths,
                 QStringList({ "/siteall/a.com%2F..%2F..%2Fversion%2Fmain.txt",
                               "/siteall/a.com%2F%252e%252e%2Fx", "/siteall/a.com%3Fx%3D1",
                               "/siteall/a.com%23frag", "/siteall/%E4%BE%8B%E5%AD%90.com" }));
        QCOMPARE(f->rowTexts(0),
                 QStringList({ "1", "a.com/../../version/main.txt", "5", "5", "5", "5" }));
        QCOMPARE(f->rowTexts(3).value(1), QString("a.com#frag"));
    }

private:
    // Adds `domain` through the add dialog with its immediate query ticked.
    void addAndQuery(const QString &domain)
    {
        f->fake.onOpen = [domain](QDialog &dialog) {
            QTest::keyClicks(dialog.findChild<QLineEdit *>("Text1"), domain);
            dialog.findChild<QCheckBox *>("Check1")->setChecked(true);
            QTest::mouseClick(dialog.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        };
        f->click("Command6");
    }
    // The domains of the rows, in the order shown.
    QStringList domainsShown() const
    {
        QStringList shown;
        for (int row = 0; row < f->rowCount(); ++row)
            shown << f->rowTexts(row).value(1);
        return shown;
    }
    QTimer *timer() const { return f->find<QTimer>("Timer1"); }
    int waiting() const { return f->form->queryState().waitingQueries; }
    QSlider *slider() const { return f->find<QSlider>("Slider1"); }

    std::unique_ptr<Form1Fixture> f;
};

QTEST_MAIN(TestQuery)
#include "tst_query.moc"
