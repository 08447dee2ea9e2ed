#include "Form1Fixture.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

class TestAddDialog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<Form1Fixture>();
        f->serveCounts("example.com", { "1", "2", "3", "4" });
    }
    void cleanup() { f.reset(); }

    void refusalsInTheirOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << ""
                               << "请输入域名..";
        QTest::newRow("no suffix") << "example.test"
                                   << "域名不正确,您请检查..";
        QTest::newRow("http without suffix: suffix first") << "http://example.test"
                                                           << "域名不正确,您请检查..";
        QTest::newRow("http://") << "http://example.com"
                                 << "域名不需要加http://..";
        QTest::newRow("http:// in the middle") << "example.comhttp://"
                                               << "域名不需要加http://..";
        QTest::newRow("www.") << "www.example.com"
                              << "域名不需要加www..";
    }
    void refusalsInTheirOrder()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        bool stillOpen = false;
        QString textAfter;
        f->fake.dialogs.onOpen = [&](QDialog &dialog) {
            type(dialog, text);
            press(dialog);
            stillOpen = dialog.isVisible();
            textAfter = dialog.findChild<QLineEdit *>("Text1")->text();
        };
        f->click("Command6");

        QCOMPARE(f->fake.boxes.shown.size(), 1);
        QCOMPARE(f->fake.boxes.shown.first().text, message);
        QCOMPARE(f->fake.boxes.shown.first().icon, platform::BoxIcon::Information);
        QCOMPARE(f->fake.boxes.shown.first().title, QString("Varnel系列软件"));
        QVERIFY(stillOpen);
        QCOMPARE(textAfter, text);
        QCOMPARE(f->list()->count(), 0);
    }

    void addedAsTypedWithoutQuery_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("secure-web prefix") << "https://example.com";
        QTest::newRow("blank before www.") << " www.example.com";
        QTest::newRow("upper-case WWW.") << "WWW.example.com";
        QTest::newRow("marker inside a word") << "home.example";
    }
    void addedAsTypedWithoutQuery()
    {
        QFETCH(QString, text);
        f->importLines({ "first.com" });
        f->list()->setListIndexQuietly(0);
        bool closedAfter = false;
        f->fake.dialogs.onOpen = [&](QDialog &dialog) {
            type(dialog, text);
            press(dialog);
            closedAfter = !dialog.isVisible();
        };
        const int boxesBefore = int(f->fake.boxes.shown.size());
        f->click("Command6");

        QCOMPARE(f->list()->entries(), QStringList({ "first.com", text }));
        QCOMPARE(f->list()->listIndex(), 0); // the current entry does not move
        QCOMPARE(f->fake.boxes.shown.size(), boxesBefore + 1);
        QCOMPARE(f->fake.boxes.shown.last().text, QString("域名添加成功.."));
        QVERIFY(closedAfter);
        QVERIFY(f->server.requests.isEmpty());
        QCOMPARE(f->table()->topLevelItemCount(), 0);
    }

    void tickedBoxQueriesAfterTheDialogClosed()
    {
        QStringList order;
        f->fake.boxes.onShow = [&](const ShownBox &box) { order << box.text; };
        QObject::connect(&f->server, &ScriptedHttpServer::requestSeen, [&] {
            order << QString("query, dialog %1").arg(dialogVisible ? "open" : "closed");
        });
        f->fake.dialogs.onOpen = [&](QDialog &dialog) {
            type(dialog, "example.com");
            dialog.findChild<QCheckBox *>("Check1")->setChecked(true);
            press(dialog);
        };
        dialogVisible = false;
        f->click("Command6");
        QCOMPARE(order, QStringList({ "域名添加成功..", "query, dialog closed" }));
        QCOMPARE(f->rowTexts(0), QStringList({ "1", "example.com", "1", "2", "3", "4" }));
        QCOMPARE(f->form->queryState().queryMode, 0);

        // Added twice: both entries stay.
        f->click("Command6");
        QCOMPARE(f->list()->entries(), QStringList({ "example.com", "example.com" }));
    }

    void everyOpeningStartsAfresh()
    {
        QList<bool> emptyText, unticked, focusOnAdd;
        f->fake.dialogs.onOpen = [&](QDialog &dialog) {
            emptyText << dialog.findChild<QLineEdit *>("Text1")->text().isEmpty();
            unticked << !dialog.findChild<QCheckBox *>("Check1")->isChecked();
            focusOnAdd << (dialog.focusWidget() == dialog.findChild<QPushButton *>("Command1"));
            type(dialog, "typed.test");
            dialog.findChild<QCheckBox *>("Check1")->setChecked(true);
        };
        f->click("Command6");
        f->click("Command6");
        QCOMPARE(emptyText, QList<bool>({ true, true }));
        QCOMPARE(unticked, QList<bool>({ true, true }));
        QCOMPARE(focusOnAdd, QList<bool>({ true, true }));
        QCOMPARE(f->fake.dialogs.opened, 2);
    }

    void fullListRefusesTheAdd()
    {
        f->importNumberedDomains(32767);
        QCOMPARE(f->list()->count(), 32767);
        f->fake.dialogs.onOpen = [&](QDialog &dialog) {
            type(dialog, "example.com");
            press(dialog);
        };
        f->click("Command6");
        QCOMPARE(f->list()->count(), 32767);
        QVERIFY(f->fake.boxes.shown.last().text.contains("32767"));
    }

private:
    void type(QDialog &dialog, const QString &text)
    {
        auto *edit = dialog.findChild<QLineEdit *>("Text1");
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    void press(QDialog &dialog)
    {
        dialogVisible = true;
        QObject::connect(&dialog, &QDialog::finished, [this] { dialogVisible = false; });
        QTest::mouseClick(dialog.findChild<QPushButton *>("Command1"), Qt::LeftButton);
    }

    std::unique_ptr<Form1Fixture> f;
    bool dialogVisible = false;
};

QTEST_MAIN(TestAddDialog)
#include "tst_adddialog.moc"
