#include "FileDialogs.h"
#include "ListBox.h"
#include "MessageBoxes.h"

#include <QHelpEvent>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void listClickIsRaisedOncePerSelection()
    {
        platform::ListBox list;
        list.addItems({ "a.com", "b.com", "c.com" });
        QSignalSpy clicks(&list, &platform::ListBox::listClick);

        list.setListIndex(1);
        list.setListIndex(1); // already current: raised again
        QCOMPARE(clicks.size(), 2);

        list.setListIndexQuietly(2);
        delete list.takeItem(0);
        list.clear();
        QCOMPARE(clicks.size(), 2); // neither quiet selection nor removal raises it
    }

    void toolTipShowsEntriesAsPlainText()
    {
        platform::ListBox list;
        list.resize(200, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.setToolTip("双击列表删除:<b>x</b>.com");
        QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), list.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(&list, &help);
        QVERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().contains("&lt;b&gt;x&lt;/b&gt;.com"));
        QToolTip::hideText();
    }

    void messageBoxesShowTextAsPlainText()
    {
        platform::QtMessageBoxes boxes;
        Qt::TextFormat format = Qt::AutoText;
        QString title;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            format = box->textFormat();
            title = box->windowTitle();
            box->accept();
        });
        boxes.show(nullptr, "发现最新版本![<img src=x>]", platform::BoxIcon::Information,
                   "Varnel系列软件");
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(title, QString("Varnel系列软件"));
    }

    void classicFilterBecomesQtFilter()
    {
        QCOMPARE(platform::QtFilterFromClassic("文本文件|*.txt"), QString("文本文件 (*.txt)"));
        QCOMPARE(platform::QtFilterFromClassic("文本|*.txt;*.csv|全部|*.*"),
                 QString("文本 (*.txt *.csv);;全部 (*.*)"));
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
