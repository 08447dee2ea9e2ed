#include "Form1Fixture.h"

#include <QAction>
#include <QHelpEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>

class TestResults : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<Form1Fixture>();
        f->button("Command2")->setEnabled(true); // as after a passed update check
    }
    void cleanup() { f.reset(); }

    // Rows with a comma in a count, a failed fetch and a quote in a domain leave the window as
    // tab-separated text and as CSV, exactly.
    void copyAndExport()
    {
        f->serveCounts("a.com", { "12,300", "7", "", "35" });
        f->importLines({ "a.com", "fail.com", "q\"uote.com" }); // fail.com has no page
        runToTheEnd();
        QTreeWidget *table = f->table();
        table->setFocus();

        QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(f->fake.clipboard.text,
                 QString("编号\t域名\t百度\tGoogle\t360\tSogou\n"
                         "1\ta.com\t12,300\t7\t0\t35\n"
                         "2\tfail.com\t\t\t\t\n"
                         "3\tq\"uote.com\t\t\t\t\n"));

        // Rows picked out of order are copied in table order.
        table->clearSelection();
        table->topLevelItem(2)->setSelected(true);
        table->topLevelItem(0)->setSelected(true);
        action("copyResults")->trigger();
        QCOMPARE(f->fake.clipboard.text.split('\n').mid(1, 2),
                 QStringList({ "1\ta.com\t12,300\t7\t0\t35", "3\tq\"uote.com\t\t\t\t" }));

        const QString path = f->dir.filePath("results.csv");
        f->fake.files.answers << path;
        action("exportResults")->trigger();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("\xEF\xBB\xBF"
                            "编号,域名,百度,Google,360,Sogou\r\n"
                            "1,a.com,\"12,300\",7,0,35\r\n"
                            "2,fail.com,,,,\r\n"
                            "3,\"q\"\"uote.com\",,,,\r\n"));
        QCOMPARE(table->actions().size(), 3); // the context menu: copy, select all, export
    }

    void exportThatCannotBeWritten()
    {
        f->importLines({ "a.com" });
        runToTheEnd();
        const QString path = f->dir.filePath("no-such-folder/results.csv");
        f->fake.files.answers << path;
        const int boxes = int(f->fake.boxes.shown.size());

        action("exportResults")->trigger();

        QCOMPARE(f->fake.boxes.shown.size(), boxes + 1);
        QCOMPARE(f->fake.boxes.shown.last().icon, platform::BoxIcon::Warning);
        QVERIFY(f->fake.boxes.shown.last().text.contains(QDir::toNativeSeparators(path)));
        QVERIFY(QDir(f->dir.path()).entryList({ "*.csv*", "no-such-folder" }).isEmpty());
    }

    // A cut-off cell shows its whole text as a tool tip; a cell that fits shows none.
    void cutOffCellsShowTheirText()
    {
        const QString longName = "<i>" + QString("a").repeated(60) + ".com"; // shown, not markup
        f->importLines({ longName, "b.com" });
        runToTheEnd();
        QTreeWidget *table = f->table();

        QCOMPARE(toolTipAt(table->visualRect(table->model()->index(1, 1)).center()), QString());
        QCOMPARE(toolTipAt(table->visualRect(table->model()->index(0, 1)).center()), longName);
    }

    // New rows are followed while the view sits at the bottom, not after the user scrolled up.
    void newRowsAreFollowedFromTheBottomOnly()
    {
        f->importNumberedDomains(60);
        QTreeWidget *table = f->table();
        f->click("Command2");
        timer()->setInterval(5);
        QTRY_VERIFY(table->topLevelItemCount() >= 40);
        QTRY_VERIFY(table->verticalScrollBar()->maximum() > 0);
        QVERIFY(lastRowVisible());

        table->verticalScrollBar()->setValue(0);
        QTRY_COMPARE(f->button("Command2")->text(), QString("批量查询"));
        QCOMPARE(table->verticalScrollBar()->value(), 0);
        QVERIFY(!lastRowVisible());
    }

private:
    QTimer *timer() const { return f->find<QTimer>("Timer1"); }
    QAction *action(const char *name) const { return f->table()->findChild<QAction *>(name); }

    void runToTheEnd()
    {
        f->click("Command2");
        timer()->setInterval(5);
        QTRY_COMPARE(f->button("Command2")->text(), QString("批量查询"));
    }

    bool lastRowVisible() const
    {
        QTreeWidget *table = f->table();
        const QRect last
            = table->visualItemRect(table->topLevelItem(table->topLevelItemCount() - 1));
        return last.isValid() && table->viewport()->rect().contains(last);
    }

    QString toolTipAt(QPoint pos)
    {
        QWidget *viewport = f->table()->viewport();
        QHelpEvent help(QEvent::ToolTip, pos, viewport->mapToGlobal(pos));
        QCoreApplication::sendEvent(viewport, &help);
        if (!QToolTip::isVisible())
            return {};
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        return shown.toPlainText();
    }

    std::unique_ptr<Form1Fixture> f;
};

QTEST_MAIN(TestResults)
#include "tst_results.moc"
