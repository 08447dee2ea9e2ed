#include "AddDomainCheck.h"
#include "DomainEntries.h"
#include "DomainFile.h"
#include "Form1Fixture.h"
#include "TidyEntries.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStringEncoder>
#include <QToolTip>
#include <QtTest>
#include <sys/stat.h>
#include <variant>

// A list holds at most 32,767 entries of at most 4,096 characters each.
constexpr int kMostEntries = 32767;
constexpr int kLongest = 4096;

class TestDomains : public QObject
{
    Q_OBJECT

private slots:
    // Any line break, with or without a final one; the byte-order marks of UTF-8 and UTF-16
    // dropped; GBK files, and GBK lines among UTF-8 ones.
    void lineSplitting()
    {
        const QStringList three { "a.com", "", "b.cn" };
        const auto gbk = [](const char16_t *text) {
            return QByteArray(QStringEncoder("GB18030").encode(text));
        };
        const auto utf16 = [](QStringConverter::Encoding encoding) {
            return QByteArray(QStringEncoder(encoding, QStringEncoder::Flag::WriteBom)
                                  .encode(u"例子.com\r\n\r\nb.cn"));
        };
        const std::pair<QByteArray, QStringList> files[] = {
            { "a.com\r\n\r\nb.cn\r\n", three },
            { "a.com\r\rb.cn\r", three },
            { "a.com\n\nb.cn", three },
            { utf16(QStringConverter::Utf16LE), { "例子.com", "", "b.cn" } },
            { utf16(QStringConverter::Utf16BE), { "例子.com", "", "b.cn" } },
            { "\xEF\xBB\xBF例子.com", { "例子.com" } },
            { gbk(u"例子.com\r\n中文.cn"), { "例子.com", "中文.cn" } },
            { "例子.com\n" + gbk(u"中文.cn") + "\nb.cn", { "例子.com", "中文.cn", "b.cn" } },
        };
        for (const auto &[bytes, lines] : files)
            QCOMPARE(SplitDomainFile(bytes), lines);
    }

    void cleanUp()
    {
        QCOMPARE(
            CleanDomainEntries({ "https://a.com", "HTTP://b.com", "WWW.c.com", "www.www.d.com",
                                 " www.e.com", "f.comhttp://x", "http://", "www.", "   ", "" }),
            QStringList({ "https://a.com", "HTTP://b.com", "WWW.c.com", "www.d.com", " www.e.com",
                          "f.comx", "", "", "   " }));
    }

    void addRefusalsInTheirOrder()
    {
        QCOMPARE(AddDomainRefusal(""), QString("请输入域名.."));
        QCOMPARE(AddDomainRefusal("http://example.test"), QString("域名不正确,您请检查.."));
        QCOMPARE(AddDomainRefusal("example.comhttp://"), QString("域名不需要加http://.."));
        QCOMPARE(AddDomainRefusal("www.example.com"), QString("域名不需要加www.."));
        QCOMPARE(AddDomainRefusal("www.example.comhttp://"), QString("域名不需要加http://.."));
        for (const char *accepted : { "https://a.com", " www.a.com", "WWW.a.com", "home.example" })
            QVERIFY2(AddDomainRefusal(accepted).isEmpty(), accepted);
    }

    void init() { f = std::make_unique<Form1Fixture>(); }

    // Instructions, the dialog, the list replaced and cleaned, the last entry current; the next
    // opening offers the file chosen last; a name that cannot be read keeps the list; a
    // cancel changes nothing; a file of empty lines empties the list.
    void importAFile()
    {
        const QString path
            = f->writeFile("four.txt", "a.com\r\nb.cn\r\n\r\nhttp://www.<b>c</b>.org");
        f->importFile(path);
        const QString instructions = "information Varnel系列软件: 请按照如下格式：\r\n\r\n"
                                     "域名前不要加http://与www\r\n一行一个域名，例如：example.com";
        const QString dialog = "open 请选择要加载的文件|文本文件|*.txt|";
        QCOMPARE(f->fake.log, QStringList({ instructions, dialog + QDir::homePath() }));
        QCOMPARE(f->list()->entries(), QStringList({ "a.com", "b.cn", "<b>c</b>.org" }));
        QCOMPARE(f->list()->toolTip(), QString("双击列表删除:<b>c</b>.org"));
        QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), f->list()->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(f->list(), &help); // shown as the text it is, not as markup
        QVERIFY(QToolTip::text().contains("&lt;b&gt;c&lt;/b&gt;.org"));
        QCOMPARE(f->status()->panelText(2), QString("列表加载成功!共3个域名"));

        f->list()->setListIndexQuietly(0);
        const QString missing = f->dir.filePath("missing.txt");
        const QString fifo = f->dir.filePath("fifo.txt"); // no writer: an open would block
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QStringList unreadables { missing, f->dir.path(), fifo, "/dev/zero" };
        for (const QString &unreadable : unreadables)
            f->importFile(unreadable);
        f->click("Command1"); // cancelled
        for (const QString &unreadable : unreadables)
            QVERIFY(f->fake.log.contains("warning Varnel系列软件: 无法读取文件：" + unreadable
                                         + "\r\n域名列表保持不变。"));
        QCOMPARE(f->fake.log.filter("open").at(1), dialog + path); // the file chosen last
        QCOMPARE(f->list()->entries(), QStringList({ "a.com", "b.cn", "<b>c</b>.org" }));
        QCOMPARE(f->list()->listIndex(), 0);
        QCOMPARE(f->status()->panelText(2), QString("列表加载成功!共3个域名"));

        f->importFile(f->writeFile("empty.txt", "\r\n\n"));
        QCOMPARE(f->list()->count(), 0);
        QCOMPARE(f->fake.log.last(),
                 "information Varnel系列软件: 文件中没有可导入的域名，域名列表现在是空的。");
        QCOMPARE(f->status()->panelText(2), QString("列表加载成功!共3个域名"));

        // A list named on the command line ("Open with"): read as the dialog's, no instructions.
        const int said = f->fake.log.size();
        f->form->openList(path);
        QCOMPARE(f->list()->count(), 3);
        QCOMPARE(f->fake.log.size(), said);
    }

    // Lines no domain could fill are counted, not kept, measured in characters (a character
    // outside the BMP is one); so are lines in no known encoding and lines holding NUL. Lines
    // past the limit are counted, the unterminated last one too, blank ones not, and all is
    // reported. Reads come in blocks: a line break at the end of one still ends a line.
    void importLimitsAndFailures()
    {
        const QString wide(kLongest, QChar(0x4E2D)); // three bytes each in UTF-8
        QString emoji;
        for (int i = 0; i <= kLongest / 2; ++i)
            emoji += QString::fromUcs4(U"\U0001F600");
        f->importFile(f->writeFile("odd.txt",
                                   "ok.com\n" + wide.toUtf8() + "\n" + emoji.toUtf8() + "\n"
                                       + (QString(kLongest - 100, 'a') + emoji.left(202)).toUtf8()
                                       + "\n" + QByteArray(kLongest + 1, 'b')
                                       + "\nbad\xFF\x80.com\n" + QByteArray("nul\0.com\n", 9)));
        QCOMPARE(f->list()->entries(), QStringList({ "ok.com", wide, emoji }));
        QVERIFY2(QRegularExpression("^information \\D*2\\D.*\\r\\n\\D*2\\D")
                     .match(f->fake.log.last())
                     .hasMatch(),
                 qPrintable(f->fake.log.last()));

        QByteArray bytes = QByteArray(kLongest, 'a') + "\n" + QByteArray(kLongest + 1, 'b') + "\n";
        bytes += QByteArray((1 << 20) - 1 - bytes.size(), 'x') + "\r"; // ends the first 1 MiB read
        for (int i = 0; i < 40000; ++i)
            bytes += "d" + QByteArray::number(i) + ".com\n\n";
        f->importFile(f->writeFile("long.txt", bytes + "unterminated.com"));
        QCOMPARE(f->list()->count(), kMostEntries);
        QCOMPARE(f->list()->item(0)->text(), QString(kLongest, 'a'));
        QCOMPARE(f->list()->item(1)->text(), QString("d0.com"));
        const QString past = QString::number(40000 - (kMostEntries - 1) + 1);
        const QRegularExpression counts(QString("^information .*%1\\D+%2\\D+\\r\\n\\D*2\\D")
                                            .arg(QString::number(kMostEntries), past));
        QVERIFY2(counts.match(f->fake.log.last()).hasMatch(), qPrintable(f->fake.log.last()));

        f->importFile("/proc/self/mem"); // opens, but every read fails
        QCOMPARE(f->list()->count(), 0);
        QVERIFY(f->fake.log.last().startsWith("warning Varnel系列软件: 读取文件时出错"));

        // A huge sparse file (a disk image dropped by mistake) is read only as far as a list
        // could reach, and costs no list.
        f->importLines({ "kept.com" });
        QFile huge(f->dir.filePath("huge.img"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 30));
        huge.close();
        drop(QStringList { huge.fileName() });
        QCOMPARE(f->list()->entries(), QStringList({ "kept.com" }));
        QVERIFY2(f->fake.log.last().contains("文件大于任何域名列表可能的大小"),
                 qPrintable(f->fake.log.last()));
    }

    // Lists as people have them: Ctrl+V appends the clipboard's lines, cleaned and within the
    // limits; a dropped file is imported as the dialog would (no instructions, no dialog); dropped
    // text is appended; a list that is disabled during a run takes no drop.
    void pasteAndDrop()
    {
        f->importLines({ "a.com" });
        f->fake.log.clear();
        f->fake.clipboardText = "http://www.b.com\r\n\r\nc.cn\n" + QString(kLongest + 1, 'x');
        f->list()->setFocus();
        QTest::keyClick(f->list(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->list()->entries(), QStringList({ "a.com", "b.com", "c.cn" }));
        QCOMPARE(f->list()->listIndex(), 2);
        QCOMPARE(f->status()->panelText(2), QString("列表加载成功!共3个域名"));
        QCOMPARE(f->fake.log.size(), 1); // the over-long line is reported
        QVERIFY(f->fake.log.last().startsWith("information"));
        // What cannot be used changes nothing, and says why.
        f->fake.clipboardText = "\r\n\n";
        QTest::keyClick(f->list(), Qt::Key_V, Qt::ControlModifier);
        f->fake.clipboardText.clear(); // an image, say
        QTest::keyClick(f->list(), Qt::Key_V, Qt::ControlModifier);
        drop(QStringList { "/a.txt", "/b.txt" });
        drop(QStringList { "https://example.com/list.txt" }); // a web link, not a file here
        drop(QStringList { f->writeFile("blank.txt", "\n" + QByteArray(4097, 'x')) });
        QCOMPARE(f->list()->count(), 3);
        QCOMPARE(
            f->fake.log.mid(1),
            QStringList(
                { "information Varnel系列软件: 粘贴的文本中没有域名。",
                  "information Varnel系列软件: 剪贴板里没有文本，无法粘贴域名。",
                  "information Varnel系列软件: 一次只能拖入一个文件。",
                  "information Varnel系列软件: 只能拖入本机上的文本文件。",
                  "information Varnel系列软件: 拖入的文件中没有可导入的域名，域名列表保持不变。\r\n"
                  "文件中有1行超过4096个字符，不是域名，未导入。" }));
        f->fake.log.clear();

        // A later start's list, handed to this window, is taken as a drop is.
        f->form->takeHandedFile(f->writeFile("handed.txt", "h.com\n"));
        QCOMPARE(f->list()->entries(), QStringList({ "h.com" }));
        drop(QStringList { f->writeFile("dropped.txt", "x.com\nwww.y.com\n") });
        QCOMPARE(f->list()->entries(), QStringList({ "x.com", "y.com" }));
        QVERIFY(f->fake.log.isEmpty()); // neither the instructions nor the dialog
        drop(QStringList { "/dev/zero" });
        QVERIFY(f->fake.log.last().startsWith("warning Varnel系列软件: 无法读取文件：/dev/zero"));
        drop("z.org\nhttp://w.net");
        QCOMPARE(f->list()->entries(), QStringList({ "x.com", "y.com", "z.org", "w.net" }));

        f->importLines(QStringList(kMostEntries - 1, "full.com"));
        f->fake.clipboardText = "one.com\ntwo.com";
        QTest::keyClick(f->list(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->list()->count(), kMostEntries);
        QCOMPARE(f->list()->item(kMostEntries - 1)->text(), QString("one.com"));
        QVERIFY(f->fake.log.last().contains("粘贴的文本中其余1行"));
        drop("three.com");
        QVERIFY(f->fake.log.last().contains("拖入的文本中其余1行"));

        f->importLines({ "a.com" });
        f->click("Command2"); // the list is disabled while the run goes on
        drop("late.com");
        f->form->takeHandedFile(f->writeFile("handed.txt", "h.com\n"));
        QCOMPARE(f->list()->entries(), QStringList({ "a.com" }));
        QVERIFY(f->fake.log.last().contains("查询进行中，未打开列表"));
    }

    // A press on the empty list imports as the button does; a double click or Delete removes
    // the current entry, the first one too. The list's own menu, opened from the keyboard
    // (Shift+F10): duplicates (without case) and entries a run would skip are removed, each count
    // said; the list is emptied only once confirmed; during a run the list, and so its menu, is
    // out of reach.
    void listGesturesAndTools()
    {
        f->fake.fileAnswers << f->writeFile("two.txt", "a.com\nb.com\nc.com\nd.com\n");
        const QPoint firstRow(20, 5);
        QTest::mousePress(f->list()->viewport(), Qt::LeftButton, {}, firstRow);
        QCOMPARE(f->list()->count(), 4);
        QCOMPARE(f->list()->indexAt(firstRow).row(), 0);
        QCOMPARE(f->list()->listIndex(), 3);
        QTest::mousePress(f->list()->viewport(), Qt::RightButton, {}, firstRow);
        QCOMPARE(f->fake.log.size(), 2); // not empty: no import
        QCOMPARE(f->list()->listIndex(), 3); // nor does a right press pick an entry
        f->list()->setListIndexQuietly(0);
        QTest::mouseDClick(f->list()->viewport(), Qt::LeftButton, {}, firstRow);
        QCOMPARE(f->list()->entries(), QStringList({ "b.com", "c.com", "d.com" }));
        QCOMPARE(f->list()->listIndex(), -1);
        f->list()->setListIndexQuietly(1);
        QTest::keyClick(f->list(), Qt::Key_Delete);
        QCOMPARE(f->list()->entries(), QStringList({ "b.com", "d.com" }));

        f->importLines({ "a.com", "b.cn", "A.COM", "bad", "b.cn", "test.example" });
        QVERIFY(f->menu(f->list(), "删除重复域名").contains("删除重复域名"));
        QCOMPARE(f->list()->entries(), QStringList({ "a.com", "b.cn", "bad", "test.example" }));
        QCOMPARE(f->status()->panelText(2), QString("已删除2个重复域名，共4个域名"));
        QVERIFY(f->menu(f->list(), "删除无效域名").contains("删除无效域名"));
        QCOMPARE(f->list()->entries(), QStringList({ "a.com", "b.cn" }));
        QCOMPARE(f->status()->panelText(2), QString("已删除2个无效域名，共2个域名"));
        QVERIFY(f->menu(f->list(), "清空列表").contains("清空列表")); // 取消
        QCOMPARE(f->list()->count(), 2);
        f->fake.confirms = true;
        QVERIFY(f->menu(f->list(), "清空列表").contains("清空列表"));
        QCOMPARE(f->list()->count(), 0);
        QCOMPARE(f->fake.log.filter("confirm").size(), 2);
        f->importLines({ "a.com", "a.com" });
        f->click("Command2");
        f->list()->findChild<QAction *>("removeDuplicates")->trigger(); // no menu reaches it
        QCOMPARE(f->list()->count(), 2);
    }

    // Lines as browsers and spreadsheets hand them over become the hosts they name, only when
    // the user asks for it.
    void tidyingPastedLines()
    {
        const std::pair<QString, QString> lines[] = {
            { "https://shop.example.com/path?q=1#top", "shop.example.com" },
            { "HTTP://User:pw@Example.COM:8080/", "example.com" },
            { " \tsite.com \t", "site.com" },
            { "site.com,123", "site.com" },
            { "名称;a.cn;b.cn", "a.cn" },
            { "42\twww.b.cn\tx", "b.cn" },
            { "example.com.", "example.com" },
            { "WWW.例子.中国", "例子.中国" },
            { "xn--fsqu00a.xn--fiqs8s", "xn--fsqu00a.xn--fiqs8s" },
            { "ftp://files.c.com\\dir", "files.c.com" },
            { "[::1]:80", "[::1]" },
            { "名称,数量", "名称" },
            { "h例://b.com", "h例" }, // no scheme: kept for the user to judge
            { "1x://b.com", "1x" }, // nor one that starts with a digit
            { "www.www.d.com", "www.d.com" },
        };
        for (const auto &[line, host] : lines)
            QCOMPARE(TidyDomainEntry(line), host);

        const QStringList pasted({ "https://shop.example.com/path", "Example.COM", " site.com ",
                                   "site.com,123", "   ", "a.cn", "https://", "b.cn", "c.cn",
                                   "D.cn", "E.cn", "F.cn" });
        f->importLines(pasted);
        QCOMPARE(f->list()->entries(), pasted); // the import keeps what it read
        f->fake.log.clear();
        QVERIFY(f->menu(f->list(), "整理域名").contains("整理域名"));
        QCOMPARE(f->list()->entries(),
                 QStringList({ "shop.example.com", "example.com", "site.com", "site.com", "a.cn",
                               "b.cn", "c.cn", "d.cn", "e.cn", "f.cn" }));
        QCOMPARE(f->status()->panelText(2),
                 QString("已整理域名：改动7个，删除空行2个，共10个域名"));
        QCOMPARE(f->fake.log.size(), 1);
        const QStringList box = f->fake.log.constFirst().split("\r\n");
        QCOMPARE(box.size(), 7); // the count, five changes, and a mark for more
        QCOMPARE(box.at(1), QString("https://shop.example.com/path → shop.example.com"));
        QCOMPARE(box.at(3), QString("site.com → site.com"));
        QVERIFY(f->menu(f->list(), "整理域名").contains("整理域名"));
        QCOMPARE(f->status()->panelText(2), QString("域名列表无需整理"));
        QCOMPARE(f->fake.log.size(), 1);
    }

    // Refused, added, added and queried once the dialog has closed, refused when full.
    void addDialog()
    {
        f->serveCounts("example.com", { "1", "2", "3", "4" });
        f->importLines({ "first.com" });
        f->fake.log.clear();
        connect(&f->server, &ScriptedHttpServer::requestSeen, this, [this] {
            f->fake.log << (dialog && dialog->isVisible() ? "query, dialog open" : "query");
        });
        add("www.example.com", false);
        add("example.com", true);
        const QString added = "information Varnel系列软件: 域名添加成功..";
        QCOMPARE(f->fake.log,
                 QStringList({ "information Varnel系列软件: 域名不需要加www..", "still open", added,
                               "query" }));
        QCOMPARE(f->list()->entries(), QStringList({ "first.com", "example.com" }));
        QCOMPARE(f->rowTexts(0), QStringList({ "1", "example.com", "1", "2", "3", "4" }));

        f->importLines(QStringList(kMostEntries, "a.com"));
        add("example.com", false);
        QCOMPARE(f->list()->count(), kMostEntries);
        QCOMPARE(f->fake.log.last(), QString("still open"));
        QVERIFY(f->fake.log.at(f->fake.log.size() - 2).contains(QString::number(kMostEntries)));
    }

private:
    // Drops files (local paths, or https links) or text on the domain list, as a file manager or a
    // browser would.
    void drop(const std::variant<QStringList, QString> &what)
    {
        QMimeData mime;
        if (const auto *paths = std::get_if<QStringList>(&what)) {
            QList<QUrl> urls;
            for (const QString &path : *paths)
                urls << (path.startsWith("https:") ? QUrl(path) : QUrl::fromLocalFile(path));
            mime.setUrls(urls);
        } else {
            mime.setText(std::get<QString>(what));
        }
        const QPoint at = f->list()->viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(f->list()->viewport(), &enter);
        if (!enter.isAccepted())
            return;
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(f->list()->viewport(), &drop);
    }

    // Opens the add dialog, which must come fresh, types `text`, ticks the box if asked, adds.
    void add(const QString &text, bool queryNow)
    {
        f->fake.onOpen = [&](QDialog &opened) {
            dialog = &opened;
            auto *edit = opened.findChild<QLineEdit *>("Text1");
            auto *tick = opened.findChild<QCheckBox *>("Check1");
            QVERIFY(edit->text().isEmpty() && !tick->isChecked());
            QCOMPARE(QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Name),
                     opened.findChild<QLabel *>("Label1")->text()); // read out by its label
            QCOMPARE(opened.focusWidget(), opened.findChild<QPushButton *>("Command1"));
            QTest::keyClicks(edit, text);
            tick->setChecked(queryNow);
            QTest::mouseClick(opened.findChild<QPushButton *>("Command1"), Qt::LeftButton);
            if (opened.isVisible())
                f->fake.log << "still open";
        };
        f->click("Command6");
        dialog = nullptr;
        QTRY_COMPARE(QApplication::activeWindow(), f->form.get()); // back where the user was
        QCOMPARE(QApplication::focusWidget(), f->button("Command6"));
    }

    std::unique_ptr<Form1Fixture> f;
    QDialog *dialog = nullptr;
};

QTEST_MAIN(TestDomains)
#include "tst_domains.moc"
