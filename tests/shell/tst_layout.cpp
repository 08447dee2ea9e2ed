#include "FakePlatform.h"
#include "Form1Fixture.h"
#include "Form2.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTreeWidget>
#include <QtTest>

namespace {

struct Expected
{
    const char *name;
    QRect geometry;
    const char *caption; // nullptr: no caption to check
    bool displayFont;
};

QString Caption(const QWidget *w)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    return {};
}

void CheckControls(const QWidget &window, const QList<Expected> &controls)
{
    for (const Expected &e : controls) {
        const auto *w = window.findChild<QWidget *>(QString::fromLatin1(e.name));
        QVERIFY2(w, e.name);
        if (qobject_cast<const QLabel *>(w)) // labels size themselves to their captions
            QCOMPARE(w->pos(), e.geometry.topLeft());
        else
            QCOMPARE(w->geometry(), e.geometry);
        if (e.caption)
            QCOMPARE(Caption(w), QString::fromUtf8(e.caption));
        if (e.displayFont) {
            QCOMPARE(w->font().family(), QString("微软雅黑"));
            QCOMPARE(w->font().pointSizeF(), 10.5);
        }
    }
}

void CheckNoOverlap(const QWidget &window, const QStringList &names)
{
    for (const QString &a : names) {
        for (const QString &b : names) {
            if (a >= b)
                continue;
            const QRect ra = window.findChild<QWidget *>(a)->geometry();
            const QRect rb = window.findChild<QWidget *>(b)->geometry();
            QVERIFY2(!ra.intersects(rb), qPrintable(a + " overlaps " + b));
        }
    }
}

void CheckFixedFrame(const QWidget &window, const QSize &client)
{
    QCOMPARE(window.size(), client);
    QCOMPARE(window.minimumSize(), client);
    QCOMPARE(window.maximumSize(), client);
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
}

QStringList TabChain(QWidget *first, int steps)
{
    QStringList chain;
    QWidget *w = first;
    for (int i = 0; i < steps; ++i) {
        chain << w->objectName();
        do {
            w = w->nextInFocusChain();
        } while (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled());
    }
    return chain;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void mainWindow()
    {
        Form1Fixture f;
        QWidget &form = *f.form;
        QCOMPARE(form.windowTitle(), QString("Varnel网站收录批量查询器"));
        CheckFixedFrame(form, QSize(929, 536));
        CheckControls(form,
                      {
                          { "Command1", { 16, 392, 81, 33 }, "导入域名", false },
                          { "ListView1", { 192, 16, 721, 425 }, nullptr, true },
                          { "List1", { 16, 16, 169, 364 }, nullptr, true },
                          { "Command2", { 16, 432, 169, 33 }, "批量查询", false },
                          { "s1", { 0, 503, 929, 33 }, nullptr, false },
                          { "Label1", { 200, 456, 56, 20 }, "查询速度", true },
                          { "Slider1", { 264, 456, 225, 25 }, nullptr, false },
                          { "Label2", { 496, 456, 42, 20 }, "2秒/次", true },
                          { "Command3", { 656, 448, 81, 33 }, "官方论坛", false },
                          { "Command4", { 744, 448, 81, 33 }, "客服中心", false },
                          { "Command5", { 832, 448, 81, 33 }, "Ostrel", false },
                          { "Command6", { 104, 392, 81, 33 }, "添加域名", false },
                      });
        CheckNoOverlap(form,
                       { "Command1", "ListView1", "List1", "Command2", "s1", "Label1", "Slider1",
                         "Label2", "Command3", "Command4", "Command5", "Command6" });
        QCOMPARE(f.list()->cursor().shape(), Qt::PointingHandCursor);

        // Enabled states at load, the timer's default, first focus and tab order.
        QVERIFY(!f.button("Command2")->isEnabled());
        for (const char *name : { "Command1", "Command3", "Command4", "Command5", "Command6" })
            QVERIFY(f.button(name)->isEnabled());
        auto *timer = f.find<QTimer>("Timer1");
        QVERIFY(!timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.button("Command1")));
        QCOMPARE(TabChain(f.button("Command1"), 9),
                 QStringList({ "Command1", "ListView1", "List1", "Slider1", "Command3", "Command4",
                               "Command5", "Command6", "Command1" }));

        // The status bar's panels.
        QCOMPARE(f.status()->panelCount(), 4);
        QCOMPARE(f.status()->panelText(1), QString("运行提示："));
        QCOMPARE(f.status()->panelText(2), QString("正在检测程序最新版本.."));
        QCOMPARE(f.status()->panelText(3), QString());
        QCOMPARE(f.status()->panelText(4), QString("Varnel出品"));
        const QList<int> minimums { 96, 636, 96, 96 };
        for (int i = 1; i <= 4; ++i)
            QVERIFY(f.status()->panel(i)->width() >= minimums.at(i - 1));
    }

    void resultsTableColumns()
    {
        Form1Fixture f;
        QTreeWidget *table = f.table();
        const QStringList headers { "编号", "域名", "百度", "Google", "360", "Sogou" };
        const QStringList keys { "bh", "ym", "bd", "googl", "san", "sogou" };
        const QList<int> widths { 53, 107, 133, 133, 133, 133 };
        QCOMPARE(table->columnCount(), 6);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(table->headerItem()->text(i), headers.at(i));
            QCOMPARE(table->headerItem()->data(i, Qt::UserRole).toString(), keys.at(i));
            QCOMPARE(table->header()->sectionSize(i), widths.at(i));
        }
        QCOMPARE(table->topLevelItemCount(), 0);
        QVERIFY(!table->horizontalScrollBar()->isVisible());
    }

    void paceSliderAndItsLabel()
    {
        Form1Fixture f;
        auto *slider = f.find<QSlider>("Slider1");
        QCOMPARE(slider->minimum(), 2);
        QCOMPARE(slider->maximum(), 60);
        QCOMPARE(slider->value(), 2);
        QCOMPARE(slider->singleStep(), 1);
        QCOMPARE(slider->pageStep(), 5);
        QCOMPARE(slider->tickPosition(), QSlider::TicksBelow);
        QCOMPARE(slider->tickInterval(), 1);
        slider->setValue(100);
        QCOMPARE(slider->value(), 60);
        auto *label = f.find<QLabel>("Label2");
        QCOMPARE(label->text(), QString("60秒/次"));
        QVERIFY(label->geometry().right() < f.button("Command3")->geometry().left());
        slider->setValue(0);
        QCOMPARE(slider->value(), 2);
    }

    void addDialog()
    {
        RecordingBoxes boxes;
        Form2 dialog(boxes, {});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QString("添加域名"));
        CheckFixedFrame(dialog, QSize(346, 193));
        QVERIFY(dialog.windowIcon().isNull());
        CheckControls(dialog,
                      {
                          { "Command1", { 16, 144, 313, 33 }, "添加", false },
                          { "Frame1", { 16, 16, 313, 89 }, nullptr, false },
                          { "Text1", { 16, 48, 289, 23 }, nullptr, true },
                          { "Label1", { 16, 16, 140, 20 }, "请输入要添加的域名：", true },
                          { "Check1", { 16, 112, 145, 17 }, "添加后立刻查询", true },
                      });
        QCOMPARE(dialog.findChild<QWidget *>("Text1")->parentWidget()->objectName(),
                 QString("Frame1"));
        QCOMPARE(dialog.findChild<QWidget *>("Label1")->parentWidget()->objectName(),
                 QString("Frame1"));
        QVERIFY(dialog.findChild<QGroupBox *>("Frame1")->title().isEmpty());
        QCOMPARE(dialog.findChild<QWidget *>("Check1")->cursor().shape(), Qt::PointingHandCursor);
        CheckNoOverlap(dialog, { "Command1", "Frame1", "Check1" });
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString("Command1"));
        QCOMPARE(TabChain(dialog.findChild<QWidget *>("Command1"), 4),
                 QStringList({ "Command1", "Text1", "Check1", "Command1" }));
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
