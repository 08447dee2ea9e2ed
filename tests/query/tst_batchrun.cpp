#include "Form1Fixture.h"
#include "ListBox.h"
#include "StatusBar.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

class TestBatchRun : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<Form1Fixture>();
        f->button("Command2")->setEnabled(true); // as after a passed update check
        for (const char *domain : { "a.com", "b.com", "c.com", "d.com", "e.com" })
            f->serveCounts(domain, { "1", "2", "3", "4" });
    }
    void cleanup() { f.reset(); }

    void threeEntriesRunToTheEnd()
    {
        f->importLines({ "a.com", "b.com", "c.com" });
        f->click("Command2");

        // The start click queried entry 0 and armed the timer at the slider's pace.
        QCOMPARE(f->button("Command2")->text(), QString("停止查询"));
        QCOMPARE(f->table()->topLevelItemCount(), 1);
        QCOMPARE(f->rowTexts(0), QStringList({ "1", "a.com", "1", "2", "3", "4" }));
        QCOMPARE(f->status()->panelText(2), QString("a.com查询完毕 | 共：3个域名 | 剩余查询：2个"));
        QVERIFY(!f->list()->isEnabled());
        QVERIFY(!slider()->isEnabled());
        QVERIFY(timer()->isActive());
        QCOMPARE(timer()->interval(), 2000);
        QCOMPARE(f->form->queryState().queryMode, 1);

        timer()->setInterval(20);
        QTRY_COMPARE(f->button("Command2")->text(), QString("批量查询"));

        QCOMPARE(f->table()->topLevelItemCount(), 3);
        QCOMPARE(f->rowTexts(2).mid(0, 2), QStringList({ "3", "c.com" }));
        QCOMPARE(f->status()->panelText(2), QString("所有域名已查询完毕!"));
        QVERIFY(f->list()->isEnabled());
        QVERIFY(slider()->isEnabled());
        QVERIFY(!timer()->isActive());
        QCOMPARE(f->form->queryState().queryMode, 0);
        QCOMPARE(f->form->queryState().queryCursor, 0);
        QCOMPARE(f->server.requests.size(), 3);
    }

    // A tick that falls due while a page is late runs inside that wait; a page that never
    // answers holds up nothing after it. Rows come in the order the queries finish.
    void latePagesDoNotHoldUpTheRun()
    {
        f->serveCounts("slow.com", { "5", "6", "7", "8" }, 400);
        ScriptedHttpServer::Reply never;
        never.mode = ScriptedHttpServer::Mode::NoAnswer;
        f->server.setReply("/siteall/never.com", never);
        f->importLines({ "a.com", "slow.com", "never.com", "b.com" });
        int rowsWhenTheRunEnded = -1;
        QTimer watch; // fires inside the waits too
        connect(&watch, &QTimer::timeout, this, [&] {
            if (rowsWhenTheRunEnded < 0 && f->button("Command2")->text() == "批量查询") {
                rowsWhenTheRunEnded = f->table()->topLevelItemCount();
                // Let the waiting page end: Qt sends a request again once when its connection
                // drops unanswered, and that one gets an empty page.
                f->server.setReply("/siteall/never.com", {});
                f->server.dropConnections();
            }
        });
        watch.start(10);

        f->click("Command2");
        timer()->setInterval(50);
        QTRY_COMPARE(f->table()->topLevelItemCount(), 4);

        QCOMPARE(rowsWhenTheRunEnded, 2);
        QCOMPARE(f->rowTexts(0), QStringList({ "1", "a.com", "1", "2", "3", "4" }));
        QCOMPARE(f->rowTexts(1), QStringList({ "2", "b.com", "1", "2", "3", "4" }));
        QCOMPARE(f->rowTexts(2), QStringList({ "3", "never.com", "", "", "", "" }));
        QCOMPARE(f->rowTexts(3), QStringList({ "4", "slow.com", "5", "6", "7", "8" }));
        QCOMPARE(f->status()->panelText(2), QString("所有域名已查询完毕!"));
        QCOMPARE(f->button("Command2")->text(), QString("批量查询"));
        QVERIFY(!timer()->isActive());
        QCOMPARE(f->form->queryState().queryMode, 0);
    }

    // A stop pressed while two ticks wait, one inside the other: nothing more is queried and
    // the waiting ticks, when they resume, do not report the run as finished.
    void stopInsideNestedWaits()
    {
        f->serveCounts("slow.com", { "5", "6", "7", "8" }, 300);
        f->serveCounts("late.com", { "9", "9", "9", "9" }, 100);
        f->importLines({ "a.com", "slow.com", "late.com" });
        connect(&f->server, &ScriptedHttpServer::requestSeen, this, [this](const QByteArray &path) {
            if (path.endsWith("late.com"))
                QTimer::singleShot(0, this, [this] { f->click("Command2"); });
        });

        f->click("Command2");
        timer()->setInterval(50);
        QTRY_COMPARE(f->table()->topLevelItemCount(), 3);
        QTest::qWait(150);

        QCOMPARE(f->server.requests.size(), 3);
        QCOMPARE(f->rowTexts(1).mid(0, 2), QStringList({ "2", "late.com" }));
        QCOMPARE(f->status()->panelText(2),
                 QString("slow.com查询完毕 | 共：3个域名 | 剩余查询：0个"));
        QCOMPARE(f->button("Command2")->text(), QString("批量查询"));
        QVERIFY(!timer()->isActive());
        QCOMPARE(f->form->queryState().queryMode, 0);
    }

    void oneEntryEndsOnTheFirstTick()
    {
        f->importLines({ "a.com" });
        f->click("Command2");
        QCOMPARE(f->table()->topLevelItemCount(), 1);
        timer()->setInterval(10);
        QTRY_COMPARE(f->status()->panelText(2), QString("所有域名已查询完毕!"));
        QCOMPARE(f->table()->topLevelItemCount(), 1);
        QCOMPARE(f->button("Command2")->text(), QString("批量查询"));
    }

    void stopInMidRunQueriesNoMore()
    {
        f->importLines({ "a.com", "b.com", "c.com", "d.com" });
        f->click("Command2");
        tick();
        QCOMPARE(f->table()->topLevelItemCount(), 2);
        f->click("Command2");

        QCOMPARE(f->button("Command2")->text(), QString("批量查询"));
        QVERIFY(!timer()->isActive());
        QVERIFY(f->list()->isEnabled());
        QVERIFY(slider()->isEnabled());
        QCOMPARE(f->form->queryState().queryMode, 0);
        QCOMPARE(f->form->queryState().queryCursor, 0);
        QTest::qWait(100);
        QCOMPARE(f->table()->topLevelItemCount(), 2);
        QCOMPARE(f->server.requests.size(), 2);

        f->click("Command2"); // a new start clears the rows and begins with entry 0
        QCOMPARE(f->table()->topLevelItemCount(), 1);
        QCOMPARE(f->rowTexts(0).mid(0, 2), QStringList({ "1", "a.com" }));
    }

    void startOnAnEmptyList()
    {
        f->click("Command2");
        QCOMPARE(f->status()->panelText(2), QString("请先导入要查询的域名"));
        QCOMPARE(f->fake.boxes.shown.size(), 1);
        QCOMPARE(f->fake.boxes.shown.first().text, QString("请先导入要查询的域名"));
        QCOMPARE(f->fake.boxes.shown.first().title, QString("Varnel软件"));
        QCOMPARE(f->fake.boxes.shown.first().icon, platform::BoxIcon::Information);
        QCOMPARE(f->button("Command2")->text(), QString("批量查询"));
        QVERIFY(!timer()->isActive());
    }

    void listEmptiedByAnImportDuringARun()
    {
        f->importLines({ "a.com", "b.com", "c.com" });
        f->click("Command2");
        f->importFile(f->writeFile("empty.txt", ""));
        QCOMPARE(f->list()->count(), 0);

        const int boxesBefore = int(f->fake.boxes.shown.size());
        f->click("Command2"); // shows the empty-list message instead of stopping
        QCOMPARE(f->fake.boxes.shown.size(), boxesBefore + 1);
        QCOMPARE(f->button("Command2")->text(), QString("停止查询"));

        timer()->setInterval(10);
        QTRY_COMPARE(f->button("Command2")->text(), QString("批量查询"));
        QCOMPARE(f->status()->panelText(2), QString("所有域名已查询完毕!"));
    }

    void listShortenedDuringARun()
    {
        f->importLines({ "a.com", "b.com", "c.com", "d.com", "e.com" });
        f->click("Command2");
        tick();
        tick();
        QCOMPARE(f->table()->topLevelItemCount(), 3);
        f->importLines({ "a.com", "b.com" }); // selects its last entry: queried, as the run is on
        QCOMPARE(f->table()->topLevelItemCount(), 4);
        tick(); // the cursor now lies past the end: the run ends, nothing is queried
        QCOMPARE(f->button("Command2")->text(), QString("批量查询"));
        QCOMPARE(f->status()->panelText(2), QString("所有域名已查询完毕!"));
        QCOMPARE(f->table()->topLevelItemCount(), 4);
    }

    void rejectedDomainInsideARun()
    {
        f->importLines({ "a.com", "test.example", "b.com" });
        f->click("Command2");
        timer()->setInterval(10);
        QTRY_COMPARE(f->button("Command2")->text(), QString("批量查询"));
        QCOMPARE(f->table()->topLevelItemCount(), 2);
        QCOMPARE(f->rowTexts(1).mid(0, 2), QStringList({ "2", "b.com" }));
        QCOMPARE(f->requestsFor("test.example"), 0);
        QCOMPARE(f->status()->panelText(2), QString("所有域名已查询完毕!"));
    }

    void stopWhileTheFirstQueryWaits()
    {
        f->serveCounts("slow.com", { "9", "9", "9", "9" }, 600);
        f->importLines({ "slow.com", "a.com" });
        QTimer::singleShot(100, f->button("Command2"), [this] { f->click("Command2"); });
        f->click("Command2");

        // The first query finished after the stop; the start did not arm the timer afterwards.
        QCOMPARE(f->table()->topLevelItemCount(), 1);
        QCOMPARE(f->button("Command2")->text(), QString("批量查询"));
        QVERIFY(!timer()->isActive());
        QVERIFY(slider()->isEnabled());
        QVERIFY(f->list()->isEnabled());
        QCOMPARE(f->form->queryState().queryMode, 0);
    }

    void cxQueriesTheLastEntryOnce()
    {
        f->importLines({ "a.com", "b.com", "c.com" });
        f->form->cx();
        QCOMPARE(f->table()->topLevelItemCount(), 1);
        QCOMPARE(f->rowTexts(0).mid(0, 2), QStringList({ "1", "c.com" }));
        QCOMPARE(f->list()->listIndex(), 2);
        QCOMPARE(f->form->queryState().queryMode, 0);
    }

    void cxDuringARunKeepsTheRunQuerying()
    {
        f->importLines({ "a.com", "b.com", "c.com" });
        f->click("Command2");
        f->form->cx();
        QCOMPARE(f->form->queryState().queryMode, 1);
        timer()->setInterval(10);
        QTRY_COMPARE(f->button("Command2")->text(), QString("批量查询"));
        // a (start), c (cx), then b and c from the ticks
        QCOMPARE(f->table()->topLevelItemCount(), 4);
        QCOMPARE(f->requestsFor("b.com"), 1);
    }

    void sliderSetsThePaceAndItsLabel()
    {
        QCOMPARE(paceLabel()->text(), QString("2秒/次"));
        slider()->setFocus();
        QTest::keyClick(slider(), Qt::Key_End);
        QCOMPARE(slider()->value(), 60);
        QCOMPARE(paceLabel()->text(), QString("60秒/次"));
        QTest::keyClick(slider(), Qt::Key_Home);
        QCOMPARE(slider()->value(), 2);
        QTest::keyClick(slider(), Qt::Key_PageUp);
        QTest::keyClick(slider(), Qt::Key_Right);
        QCOMPARE(slider()->value(), 8);
        QCOMPARE(paceLabel()->text(), QString("8秒/次"));
        QCOMPARE(paceLabel()->width(), paceLabel()->sizeHint().width());

        f->importLines({ "a.com", "b.com" });
        f->click("Command2");
        QCOMPARE(timer()->interval(), 8000);
    }

private:
    // One step of the run, as the timer would make it.
    void tick() const
    {
        QVERIFY(QMetaObject::invokeMethod(timer(), "timeout"));
        QCoreApplication::sendPostedEvents(); // the step runs once the timer event is over
    }
    QTimer *timer() const { return f->find<QTimer>("Timer1"); }
    QSlider *slider() const { return f->find<QSlider>("Slider1"); }
    QLabel *paceLabel() const { return f->find<QLabel>("Label2"); }

    std::unique_ptr<Form1Fixture> f;
};

QTEST_MAIN(TestBatchRun)
#include "tst_batchrun.moc"
