#include "ListBox.h"
#include "MessageBoxes.h"

#include <QHelpEvent>
#include <QMessageBox>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    // An entry is whatever a file held: its tool tip shows it, never its markup.
    void listToolTipIsPlainText()
    {
        platform::ListBox list;
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
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
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
