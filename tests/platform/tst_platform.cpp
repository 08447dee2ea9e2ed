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
    // Click is raised once per selection, also of the current entry, and never by a quiet
    // selection or a removal; the tool tip shows an entry's text, not its markup.
    void listBox()
    {
        platform::ListBox list;
        list.addItems({ "a.com", "b.com", "c.com" });
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy clicks(&list, &platform::ListBox::listClick);
        list.setListIndex(1);
        list.setListIndex(1);
        list.setListIndexQuietly(2);
        delete list.takeItem(0);
        QCOMPARE(clicks.size(), 2);

        list.setToolTip("双击列表删除:<b>x</b>.com");
        QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), list.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(&list, &help);
        QVERIFY(QToolTip::text().contains("&lt;b&gt;x&lt;/b&gt;.com"));
    }

    void messageBoxesShowTextAsPlainText()
    {
        platform::QtMessageBoxes boxes;
        QString shown;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown = box->windowTitle() + (box->textFormat() == Qt::PlainText ? " plain" : "");
            box->accept();
        });
        boxes.show(nullptr, "发现最新版本![<img src=x>]", platform::BoxIcon::Information, "标题");
        QCOMPARE(shown, QString("标题 plain"));
    }

    void classicFilterBecomesQtFilter()
    {
        QCOMPARE(platform::QtFilterFromClassic("文本|*.txt;*.csv|全部|*.*"),
                 QString("文本 (*.txt *.csv);;全部 (*.*)"));
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
