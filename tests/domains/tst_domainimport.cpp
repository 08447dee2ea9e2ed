#include "Form1Fixture.h"
#include "ListBox.h"
#include "StatusBar.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

class TestDomainImport : public QObject
{
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<Form1Fixture>(); }
    void cleanup() { f.reset(); }

    void importShowsInstructionsThenDialogAndCleansTheList()
    {
        const QString path = f->writeFile(
            "four.txt", "example.com\r\nexample.cn\r\n\r\nhttp://www.example.org\r\n");
        f->importFile(path);

        QCOMPARE(f->fake.boxes.shown.size(), 1);
        const ShownBox box = f->fake.boxes.shown.first();
        QCOMPARE(box.text,
                 QString("请按照如下格式：\r\n\r\n域名前不要加http://"
                         "与www\r\n一行一个域名，例如：example.com"));
        QCOMPARE(box.title, QString("Varnel系列软件"));
        QCOMPARE(box.icon, platform::BoxIcon::Information);
        QCOMPARE(f->fake.files.calls.size(), 1);
        QCOMPARE(f->fake.files.calls.first().title, QString("请选择要加载的文件"));
        QCOMPARE(f->fake.files.calls.first().filter, QString("文本文件|*.txt"));
        QCOMPARE(f->fake.files.calls.first().directory, f->dir.path());

        QCOMPARE(f->list()->entries(), QStringList({ "example.com", "example.cn", "example.org" }));
        QCOMPARE(f->list()->listIndex(), 2);
        QCOMPARE(f->status()->panelText(2), QString("列表加载成功!共3个域名"));
        QCOMPARE(f->list()->toolTip(), QString("双击列表删除:example.org"));
        QVERIFY2(f->server.requests.isEmpty(), "no run: selecting the last entry queries nothing");

        f->click("Command1"); // the next opening offers the file chosen last
        QCOMPARE(f->fake.files.calls.last().directory, path);
    }

    void prefixesAndOddLines()
    {
        f->importLines({ "https://a.com", "HTTP://b.com", "WWW.c.com", "www.www.d.com",
                         " www.e.com", "f.comhttp://x", "http://", "www.", "   ", "" });
        QCOMPARE(f->list()->entries(),
                 QStringList({ "https://a.com", "HTTP://b.com", "WWW.c.com", "www.d.com",
                               " www.e.com", "f.comx", "", "", "   " }));
        QCOMPARE(f->status()->panelText(2), QString("列表加载成功!共9个域名"));
    }

    void emptyFilesLeaveTheListEmptyAndTheStatusAlone_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("no bytes") << QByteArray();
        QTest::newRow("only line breaks") << QByteArray("\r\n\n\r\r\n");
    }
    void emptyFilesLeaveTheListEmptyAndTheStatusAlone()
    {
        QFETCH(QByteArray, bytes);
        f->importLines({ "old.com" });
        f->status()->setPanelText(2, "earlier text");
        f->importFile(f->writeFile("empty.txt", bytes));

        QCOMPARE(f->list()->count(), 0);
        QCOMPARE(f->list()->listIndex(), -1);
        QCOMPARE(f->status()->panelText(2), QString("earlier text"));
    }

    void unreadableFileKeepsTheList_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "does-not-exist.txt";
        QTest::newRow("folder") << ".";
    }
    void unreadableFileKeepsTheList()
    {
        QFETCH(QString, name);
        f->importLines({ "a.com", "b.com" });
        f->list()->setListIndexQuietly(0);
        const QString path = f->dir.filePath(name);

        f->importFile(path);

        QCOMPARE(f->list()->entries(), QStringList({ "a.com", "b.com" }));
        QCOMPARE(f->list()->listIndex(), 0);
        QCOMPARE(f->status()->panelText(2), QString("列表加载成功!共2个域名"));
        const ShownBox box = f->fake.boxes.shown.last();
        QCOMPARE(box.icon, platform::BoxIcon::Warning);
        QVERIFY2(box.text.contains(QDir::toNativeSeparators(path)), qPrintable(box.text));
    }

    void readFailureIsReported()
    {
        // Opens fine, but every read of it fails.
        f->importFile("/proc/self/mem");
        QCOMPARE(f->list()->count(), 0);
        QCOMPARE(f->fake.boxes.shown.size(), 2);
        QCOMPARE(f->fake.boxes.shown.last().icon, platform::BoxIcon::Warning);
        QVERIFY(f->fake.boxes.shown.last().text.contains("读取文件时出错"));
    }

    void cancelChangesNothing()
    {
        f->importLines({ "a.com", "b.com", "c.com" });
        f->list()->setListIndexQuietly(1);
        f->status()->setPanelText(2, "kept");

        f->click("Command1"); // no answer scripted: the dialog is cancelled

        QCOMPARE(f->fake.boxes.shown.size(), 2); // the instructions were still shown
        QCOMPARE(f->list()->entries(), QStringList({ "a.com", "b.com", "c.com" }));
        QCOMPARE(f->list()->listIndex(), 1);
        QCOMPARE(f->status()->panelText(2), QString("kept"));
    }

    void secondImportReplacesTheListButKeepsResults()
    {
        f->serveCounts("first.com", { "1", "2", "3", "4" });
        f->importLines({ "first.com" });
        f->form->cx();
        QCOMPARE(f->table()->topLevelItemCount(), 1);

        f->importLines({ "second.com", "third.com" });

        QCOMPARE(f->list()->entries(), QStringList({ "second.com", "third.com" }));
        QCOMPARE(f->table()->topLevelItemCount(), 1);
        QCOMPARE(f->rowTexts(0).value(1), QString("first.com"));
    }

    void utf8WithByteOrderMarkAndGbkFiles()
    {
        f->importFile(f->writeFile("bom.txt",
                                   "\xEF\xBB\xBF"
                                   "example.com\r\n中文.cn\r\n"));
        QCOMPARE(f->list()->entries(), QStringList({ "example.com", "中文.cn" }));

        QStringEncoder toGbk("GB18030");
        f->importFile(
            f->writeFile("gbk.txt", toGbk.encode(QStringLiteral("example.com\r\n中文.cn\r\n"))));
        QCOMPARE(f->list()->entries(), QStringList({ "example.com", "中文.cn" }));
    }

    void moreLinesThanTheListHoldsAreLeftOutAndReported()
    {
        QByteArray bytes = QByteArray(100000, 'x') + "\n";
        for (int i = 0; i < 40000; ++i)
            bytes += "d" + QByteArray::number(i) + ".com\n";
        f->importFile(f->writeFile("long.txt", bytes + "unterminated.com"));

        QCOMPARE(f->list()->count(), 32767);
        QCOMPARE(f->list()->item(32766)->text(), QString("d32766.com"));
        QCOMPARE(f->status()->panelText(2), QString("列表加载成功!共32767个域名"));
        QCOMPARE(f->fake.boxes.shown.size(), 2);
        const QString text = f->fake.boxes.shown.last().text;
        // the limit, the lines past it (the unterminated last one included), the overlong line
        QVERIFY2(QRegularExpression("32767\\D+7234\\D+\\r\\n\\D*1\\D").match(text).hasMatch(),
                 qPrintable(text));
    }

    void mouseDownOnTheEmptyListStartsTheImport()
    {
        f->fake.files.answers << f->writeFile("two.txt", "example.com\nexample.cn\n");
        const QPoint firstRow(20, 5);
        QTest::mousePress(f->list()->viewport(), Qt::LeftButton, {}, firstRow);
        QCOMPARE(f->fake.boxes.shown.size(), 1);
        QCOMPARE(f->list()->entries(), QStringList({ "example.com", "example.cn" }));
        // The press that started the import picks nothing: the last entry is current.
        QCOMPARE(f->list()->indexAt(firstRow).row(), 0);
        QCOMPARE(f->list()->listIndex(), 1);
        QCOMPARE(f->list()->toolTip(), QString("双击列表删除:example.cn"));

        QTest::mousePress(f->list()->viewport(), Qt::LeftButton, {}, QPoint(20, 200));
        QCOMPARE(f->fake.boxes.shown.size(), 1);
        QCOMPARE(f->fake.files.calls.size(), 1);
    }

    // A double click or the Delete key removes the current entry, the first one too.
    void doubleClickOrDeleteRemovesTheCurrentEntry()
    {
        f->importLines({ "a.com", "b.com", "c.com", "d.com" });
        f->list()->setListIndexQuietly(0);
        const QRect first = f->list()->visualItemRect(f->list()->item(0));
        QTest::mouseDClick(f->list()->viewport(), Qt::LeftButton, {}, first.center());

        QCOMPARE(f->list()->entries(), QStringList({ "b.com", "c.com", "d.com" }));
        QCOMPARE(f->list()->listIndex(), -1);
        QCOMPARE(f->status()->panelText(2), QString("列表加载成功!共4个域名"));

        QTest::mouseDClick(f->list()->viewport(), Qt::LeftButton, {}, QPoint(20, 300));
        QCOMPARE(f->list()->count(), 3); // nothing current: nothing removed

        f->list()->setListIndexQuietly(1);
        QTest::keyClick(f->list(), Qt::Key_Delete);
        QCOMPARE(f->list()->entries(), QStringList({ "b.com", "d.com" }));
        QTest::keyClick(f->list(), Qt::Key_Delete);
        QCOMPARE(f->list()->count(), 2);
    }

private:
    std::unique_ptr<Form1Fixture> f;
};

QTEST_MAIN(TestDomainImport)
#include "tst_domainimport.moc"
