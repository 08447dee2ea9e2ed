#include "CommandLine.h"
#include "DesktopStart.h"
#include "Form1Fixture.h"
#include "HistoryStore.h"
#include "HistoryWindow.h"
#include "LoopbackService.h"
#include "ResultsWorkbook.h"
#include "ServicesReady.h"
#include "SqlitePeek.h"
#include "WriteFailure.h"

#include <QAccessible>
#include <QAction>
#include <QCategoryAxis>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QScrollBar>
#include <QSlider>
#include <QTableView>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// Marks drawn along a widget's bottom edge: runs of pixels that differ from the edge's first.
int TickMarksAlongTheBottom(QWidget &widget)
{
    const QImage image = widget.grab().toImage();
    const int y = image.height() - 2;
    int runs = 0;
    for (int x = 1; x < image.width(); ++x)
        runs
            += image.pixel(x, y) != image.pixel(0, y) && image.pixel(x - 1, y) == image.pixel(0, y);
    return runs;
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    // Start-up with the real skin, then a run over the sample list; writes the pictures of
    // both windows to build/pictures/. Skin before the window shows, no icon, the version in
    // panel 3, a matching version file enables the run; placed on a screen narrower than the
    // window with its title bar on it; every control reached by keyboard has a name to be read
    // out; no column divider can be dragged or double-clicked; the skinned pace slider keeps
    // one tick mark per value.
    void startUpAndPictures()
    {
        Form1Fixture f(false, PROGRAM_DIR);
        f.serveVersionFile("kwtp:V1.0|");
        bool visibleAtSkin = true;
        f.fake.onSkin = [&] {
            visibleAtSkin = f.form->isVisible();
            platform::StyleSheetSkin().SkinH_AttachEx(PROGRAM_DIR "/skinh.she", {});
        };
        f.form->Load();

        QCOMPARE(f.fake.log, QStringList({ "skin " PROGRAM_DIR "/skinh.she|" }));
        QVERIFY(!visibleAtSkin && f.form->isVisible() && f.form->windowIcon().isNull());
        QCOMPARE(f.status()->panelText(3), QString("V1.0.0"));
        QVERIFY(f.button("Command2")->isEnabled());
        QCOMPARE(f.status()->panelText(2), QString("欢迎使用Varnel系列软件"));
        const QRect available = f.form->screen()->availableGeometry();
        QVERIFY(f.form->frameGeometry().width() > available.width());
        QVERIFY(available.contains(f.form->frameGeometry().topLeft()));
        for (const QWidget *w : f.form->findChildren<QWidget *>()) {
            const auto *button = qobject_cast<const QAbstractButton *>(w);
            if (w->focusPolicy() != Qt::NoFocus && !(button && !button->text().isEmpty()))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }

        QHeaderView *header = f.table()->horizontalHeader();
        const QList<int> widths { header->sectionSize(1),
                                  header->sectionSize(header->count() - 1) };
        for (int column : { 1, header->count() - 1 }) {
            const QPoint divider( // just inside the column, where the header offers its grip
                header->sectionViewportPosition(column) + header->sectionSize(column) - 1,
                header->height() / 2);
            QTest::mousePress(header->viewport(), Qt::LeftButton, {}, divider);
            QTest::mouseMove(header->viewport(), divider - QPoint(30, 0));
            QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, divider - QPoint(30, 0));
            QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, divider);
        }
        QCOMPARE(QList<int>({ header->sectionSize(1), header->sectionSize(header->count() - 1) }),
                 widths);

        // Larger, the table and the list take the room, the domains half the table's extra
        // width and the counts the rest; the pace caption stays whole beside its slider; the
        // rest keeps to its nearest edges. Never smaller than laid out.
        auto *slider = f.find<QSlider>("Slider1");
        auto *caption = f.find<QLabel>("Label2");
        slider->setValue(60);
        const QSize laidOut = f.form->size();
        const QRect table = f.table()->geometry(), list = f.list()->geometry();
        const QRect link = f.button("Command5")->geometry(),
                    start = f.button("Command2")->geometry(), pace = caption->geometry(),
                    paceSlider = slider->geometry();
        const int columnsWidth = header->length();
        const auto panelWidths = [&f] {
            QList<int> widths;
            for (int panel = 1; panel <= 4; ++panel)
                widths << f.status()->panel(panel)->width();
            return widths;
        };
        QList<int> panels = panelWidths();
        f.form->resize(laidOut + QSize(200, 100));
        QTRY_COMPARE(f.table()->geometry(), table.adjusted(0, 0, 200, 100));
        QCOMPARE(f.list()->geometry(), list.adjusted(0, 0, 0, 100));
        QCOMPARE(f.button("Command5")->geometry(), link.translated(200, 100));
        QCOMPARE(f.button("Command2")->geometry(), start.translated(0, 100));
        QCOMPARE(caption->geometry(), pace.translated(0, 100));
        QVERIFY(caption->width() >= caption->sizeHint().width());
        QCOMPARE(slider->geometry(), paceSlider.translated(0, 100));
        QCOMPARE(header->sectionSize(1), widths.first() + 100);
        QCOMPARE(header->length(), columnsWidth + 200);
        panels[1] += 200; // the message's panel takes the width
        QCOMPARE(panelWidths(), panels);
        f.form->resize(laidOut - QSize(100, 100));
        QTRY_COMPARE(f.form->size(), laidOut);
        QCOMPARE(f.table()->geometry(), table);
        QCOMPARE(QList<int>({ header->sectionSize(1), header->sectionSize(header->count() - 1) }),
                 widths);
        QCOMPARE(header->length(), columnsWidth);
        slider->setValue(2);

        const QByteArray samples = ReadFile(PROGRAM_DIR "/sample-counts.tsv");
        for (const auto &[domain, counts] : standin::ReadCountTable(samples).asKeyValueRange())
            f.serveCounts(domain, counts);
        f.importFile(PROGRAM_DIR "/sample-domains.txt");
        f.click("Command2");
        StepRunToItsEnd(*f.form);
        QDir().mkpath(PICTURES_DIR);
        QVERIFY(f.form->grab().save(PICTURES_DIR "/Form1.png"));
        QCOMPARE(TickMarksAlongTheBottom(*f.find<QSlider>("Slider1")), 59); // 2 to 60 seconds
        f.fake.onOpen = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>("Text1")->setText("example.net");
            QVERIFY(dialog.grab().save(PICTURES_DIR "/Form2.png"));
        };
        f.click("Command6");
        qApp->setStyleSheet(QString());
    }

    // Services named on the command line replace the built-in ones; anything but an http or
    // https address with a host is refused with a line naming the option and the value.
    void servicesNamedAtRunTime()
    {
        const CommandLine named
            = ParseCommandLine({ "prog", "--stats-url", "http://127.0.0.1:1/p/", "-session", "s1",
                                 "-reverse", "--update-url=https://u.example:8443" });
        QVERIFY(!named.exitStatus);
        const AppSettings settings
            = AppSettings::fromBuild().withServices(named.statsUrl, named.updateUrl);
        QCOMPARE(settings.statsBase, QString("http://127.0.0.1:1/p/siteall/"));
        QCOMPARE(settings.updateUrl, QString("https://u.example:8443/version/main.txt"));
        QCOMPARE(settings.forumUrl, AppSettings::fromBuild().forumUrl);
        const CommandLine batch
            = ParseCommandLine({ "prog", "--batch", "l.txt", "--pace", "60", "--output", "o.csv" });
        QVERIFY(!batch.exitStatus && batch.batch);
        QCOMPARE(batch.batch->paceMs, 60 * 1000);
        QCOMPARE(ParseCommandLine({ "prog", "l.txt" }).listFiles, QStringList({ "l.txt" }));
        for (const char *wrong : { "--batch l --pace 1", "--batch l --pace 2.5",
                                   "--batch l --resume", "--batch l --pace 61", "--batch l stray",
                                   "--output o.csv", "--batch l --service-settings" })
            QCOMPARE(ParseCommandLine(QString("prog ").append(wrong).split(' ')).exitStatus, 2);
        QCOMPARE(ParseCommandLine({ "prog", "-q" }).output.section(u'\n', 0, 0), "未知选项：-q");
        for (const char *platform : { "prog -platform xcb", "prog -v --platform=xcb" })
            QCOMPARE(ChosenPlatform(QString(platform).split(' ')), "xcb");
        for (const char *bad : { "127.0.0.1:1", "ftp://h", "http://", "", "http://u:p@h",
                                 "http://h/?q", "http://h/#f" }) {
            const CommandLine refused = ParseCommandLine({ "prog", "--stats-url", bad });
            QCOMPARE(refused.exitStatus, 2);
            const QString first = refused.output.section(u'\n', 0, 0);
            QVERIFY2(first.startsWith("--stats-url: ")
                         && first.contains("\"" + QString(bad) + "\""),
                     qPrintable(first));
        }
    }

    // No service named: the sample service that comes with the program answers both; a domain
    // the sample lacks gets no counts. Links with no site of their own open the root of the
    // statistics service in use, whichever services are named.
    void sampleServiceWhenNoneIsNamed()
    {
        platform::LoopbackService sample, another, none;
        AppSettings settings = ServicesReady(AppSettings(), sample, PROGRAM_DIR "/varnel-standin");
        const QString host = settings.updateUrl.section(u'/', 0, 2);
        QVERIFY2(host.startsWith("http://127.0.0.1:"), qPrintable(settings.updateUrl));
        settings.programDir = PROGRAM_DIR;
        const QString named = "https://s.example:8443/api";
        const AppSettings one = ServicesReady(AppSettings().withServices(named, {}), another,
                                              PROGRAM_DIR "/varnel-standin");
        const AppSettings both = ServicesReady(
            AppSettings().withServices(named, "http://u.example"), none, "/nowhere/varnel-standin");
        for (const AppSettings &s : { one, both })
            QCOMPARE(QStringList({ s.forumUrl, s.serviceUrl, s.resourceUrl }),
                     QStringList(3, "https://s.example:8443/"));
        QVERIFY(one.updateUrl.startsWith("http://127.0.0.1:"));
        QVERIFY(settings.sampleData && !one.sampleData && !both.sampleData); // real counts
        QCOMPARE(both.updateUrl, QString("http://u.example/version/main.txt"));
        Form1Fixture f(false, {}, [&](AppSettings &made) { made = settings; });
        f.form->Load();
        f.importLines({ "example.com", "unknown.com" });
        f.click("Command2");
        StepRunToItsEnd(*f.form);
        QCOMPARE(f.rowTexts(0).value(2), QString("12,300"));
        QCOMPARE(f.rowTexts(1), QStringList({ "2", "unknown.com", "", "", "", "" })); // never 0
        f.click("Command3");
        QCOMPARE(f.fake.log.filter("start ").last(), "start explorer.exe " + host + "/");

        // A sample service that names another machine is not believed; one that ends on its
        // own (when the test says) is told once.
        const auto script = [&f](const char *name, const QByteArray &body) {
            const QString path = f.writeFile(name, "#!/bin/sh\n" + body);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
            return path;
        };
        const QString liar
            = script("liar", "echo 'listening on http://evil.example:80/'\nsleep 60\n");
        QVERIFY(ServicesReady(AppSettings(), none, liar).statsBase.isEmpty());
        const QString quitter = script("quitter",
                                       "echo 'listening on http://127.0.0.1:9/'\n"
                                       "while [ ! -e \"$0.go\" ]; do sleep 0.05; done\n");
        platform::LoopbackService shortLived;
        QVERIFY(!ServicesReady(AppSettings(), shortLived, quitter).statsBase.isEmpty());
        shortLived.setEndedHandler([&f] { f.form->sampleServiceEnded(); });
        QFile(quitter + ".go").open(QIODevice::WriteOnly);
        QTRY_VERIFY_WITH_TIMEOUT(!f.fake.log.filter("示例服务已停止运行").isEmpty(), 60'000);
    }

    // The version file decides: another version is announced and the forum opened (here with no
    // browser, so its address is shown) before the end; a reply without a version, or none at
    // all, fails the check. A matching version is the start-up's case.
    void updateOutcomes()
    {
        const QByteArray longest(64, 'v');
        QList<std::pair<QByteArray, QString>> outcomes = {
            // the reply, the version announced
            { "kwtp:V1.1|", "V1.1" },
            { "x\nkwtp:V1.0 |kwtp:V2|", "V1.0 " }, // a trailing blank, later keys
            { "kwtp:v1.0|", "v1.0" },
            { "kwtp:" + longest + "|", longest },
        };
        // No version: an empty reply, nobody listening, an error page, an empty version, a second
        // key first, a version too long.
        for (const QByteArray &none :
             QByteArrayList { "", "refused", "<html>502</html>", "kwtp:|", "kwtp:V1kwtp:V1.0|",
                              "kwtp:" + longest + "v|" })
            outcomes.append({ none, {} });
        for (const auto &[body, announced] : outcomes) {
            Form1Fixture f(false);
            f.serveVersionFile(body);
            if (body == "refused")
                f.server.close();
            f.fake.opens = false;
            f.form->Load();
            QVERIFY(!f.button("Command2")->isEnabled());
            const QString forum = f.settings.forumUrl;
            QCOMPARE(
                f.fake.log.mid(1),
                announced.isEmpty()
                    ? QStringList(
                        { "warning Varnel系列软件: 检测更新失败!请您稍后再试,暂时使用原版" })
                    : QStringList(
                        { "information Varnel系列软件: 发现最新版本![" + announced
                              + "]\r\n \r\n确定后自动打开官方论坛!",
                          "start explorer.exe " + forum,
                          "information Varnel系列软件: 无法打开浏览器，请手动访问以下网址：\r\n"
                              + forum,
                          "exit" }));
            if (announced.isEmpty()) {
                QCOMPARE(f.status()->panelText(2), QString("正在检测程序最新版本.."));
                // Past a failed check no query runs but the one the user asks for: a failed row
                // is not offered for a retry, and the menu says why.
                f.importLines({ "fail.com" });
                f.form->cx();
                QAction *retry = f.table()->findChild<QAction *>("retryFailed");
                QVERIFY(f.menu().contains("重新查询失败的域名（1）"));
                QVERIFY(retry->toolTip().contains("更新"));
                retry->trigger();
                QCOMPARE(f.button("Command2")->text(), QString("批量查询"));
            }
        }
    }

    // Each link opens its own site. The window stays live while the version file is on its
    // way, and a window closed meanwhile says nothing more.
    void linksAndClosingDuringTheCheck()
    {
        Form1Fixture f;
        f.server.setReply("/version/main.txt",
                          { 200, "kwtp:V2.0|", ScriptedHttpServer::Mode::Held });
        f.click("Command3");
        f.click("Command5");
        QObject::connect(&f.server, &ScriptedHttpServer::requestSeen, f.form.get(), [&] {
            QTimer::singleShot(0, f.form.get(), [&] {
                f.click("Command4");
                f.form->close();
                f.server.release();
            });
        });
        f.form->Load();
        QCOMPARE(f.fake.log.filter(QRegularExpression("^(start|information|warning|exit)")),
                 QStringList({ "start explorer.exe " + f.settings.forumUrl,
                               "start explorer.exe " + f.settings.resourceUrl,
                               "start explorer.exe " + f.settings.serviceUrl }));
        // A screen reader tells where each link leads.
        for (const auto &[link, site] : { std::pair("Command3", f.settings.forumUrl),
                                          { "Command4", f.settings.serviceUrl },
                                          { "Command5", f.settings.resourceUrl } })
            QCOMPARE(f.button(link)->accessibleDescription(), "在浏览器中打开" + site);
        // and hears the pace as it reads, as it changes.
        f.find<QSlider>("Slider1")->setValue(7);
        QCOMPARE(f.find<QSlider>("Slider1")->accessibleDescription(), "7秒/次");
        // An opener that starts, then finds no browser: the same box with the address.
        f.fake.failsLater = true;
        f.click("Command3");
        QTRY_COMPARE(f.fake.log.last(),
                     "information Varnel系列软件: 无法打开浏览器，请手动访问以下网址：\r\n"
                         + f.settings.forumUrl);
    }

    // Rows with a comma in a count, a CR in a count, a formula, a failed fetch, and a long
    // domain with a quote and markup in it leave the window as tab-separated text and as CSV,
    // exactly, formulas defused; an export that cannot be written leaves nothing and says why. A
    // cut-off cell shows its text as a tool tip; new rows are followed from the bottom only.
    void results()
    {
        Form1Fixture f;
        f.serveCounts("a.com", { "12,300", "-7", "", "3\r5" });
        f.serveCounts("b.com", { "=1+HYPERLINK(B2)", "+1", "@", "-2.5" });
        const QString odd = "<i>q\"" + QString(60, 'a') + ".com";
        f.importLines({ "a.com", "b.com", "fail.com", odd });
        QTableView *table = f.table();
        const auto enabled = [table] {
            QStringList names;
            for (const char *name : { "copyResults", "selectAllResults", "exportResults",
                                      "exportWorkbook", "showHistory" })
                if (table->findChild<QAction *>(name)->isEnabled())
                    names << name;
            return names;
        };
        QCOMPARE(enabled(), QStringList()); // nothing to copy, pick or export yet
        f.click("Command2");
        StepRunToItsEnd(*f.form);
        QCOMPARE(enabled(), QStringList({ "selectAllResults", "exportResults", "exportWorkbook" }));
        table->setFocus();
        QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        table->clearSelection();
        for (int row : { 3, 0 })
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Select
                                                | QItemSelectionModel::Rows);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier); // in table order, not picked order
        const QString header = "clipboard 编号\t域名\t百度\tGoogle\t360\tSogou\n";
        const QString first = "1\ta.com\t12,300\t-7\t0\t3 5\n", last = "4\t" + odd + "\t\t\t\t\n";
        const QString formulas = "2\tb.com\t'=1+HYPERLINK(B2)\t+1\t'@\t-2.5\n";
        QCOMPARE(f.fake.log.mid(2),
                 QStringList({ header + first + formulas + "3\tfail.com\t\t\t\t\n" + last,
                               header + first + last }));

        f.fake.fileAnswers << f.dir.filePath("results.csv") << f.dir.filePath("no/results.csv");
        table->findChild<QAction *>("exportResults")->trigger();
        table->findChild<QAction *>("exportResults")->trigger();
        QCOMPARE(QString::fromUtf8(ReadFile(f.dir.filePath("results.csv"))),
                 "\uFEFF编号,域名,百度,Google,360,Sogou\r\n1,a.com,\"12,300\",-7,0,\"3\r5\"\r\n"
                 "2,b.com,'=1+HYPERLINK(B2),+1,'@,-2.5\r\n3,fail.com,,,,\r\n4,\""
                     + QString(odd).replace("\"", "\"\"") + "\",,,,\r\n");
        const QString cannotSave = "warning Varnel系列软件: 无法保存文件：" + f.dir.path() + "/";
        QCOMPARE(f.fake.log.last(), cannotSave + "no/results.csv\r\n文件夹不存在。");
        QCOMPARE(QDir(f.dir.path()).entryList({ "*.csv*", "no" }), QStringList({ "results.csv" }));
        f.fake.fileAnswers << f.dir.filePath("big.csv"); // a write that fails past the open
        WithFileSizeLimit(64, [&] { table->findChild<QAction *>("exportResults")->trigger(); });
        QCOMPARE(f.fake.log.last(), cannotSave + "big.csv\r\n文件超过了系统允许的大小。");
        QCOMPARE(QDir(f.dir.path()).entryList({ "*.csv*", "no" }), QStringList({ "results.csv" }));

        // As an Excel workbook: counts as numbers, every text a string (never a formula), the
        // header frozen, columns as wide as their texts (and 2 more), the reasons in a seventh
        // column; nothing left behind when it fails.
        f.fake.fileAnswers << f.dir.filePath("results.xlsx") << f.dir.filePath("no/results.xlsx");
        table->findChild<QAction *>("exportWorkbook")->trigger();
        table->findChild<QAction *>("exportWorkbook")->trigger();
        const QString workbook = f.dir.filePath("results.xlsx");
        const QString rows = ZipPart(workbook, "xl/worksheets/sheet1.xml");
        QVERIFY2(rows.contains(R"(<c r="C2"><v>12300</v></c>)") && rows.contains("ySplit=\"1\"")
                     && rows.contains("<t>=1+HYPERLINK(B2)</t>") && !rows.contains("<f>")
                     && rows.contains("<t>HTTP 404</t>") && rows.contains("<t>失败原因</t>")
                     && rows.contains(R"(<col min="1" max="1" width="8.7109375")") // 6, at least
                     && rows.contains(R"(<col min="2" max="2" width="62.7109375")"), // 60 at most
                 qPrintable(rows.left(3000)));
        QVERIFY(ZipPart(workbook, "xl/workbook.xml").contains("name=\"收录查询结果\""));
        QCOMPARE(f.fake.log.last(), cannotSave + "no/results.xlsx\r\n文件夹不存在。");
        f.fake.fileAnswers << f.dir.filePath("big.xlsx"); // fails once its writing began
        WithFileSizeLimit(64, [&] { table->findChild<QAction *>("exportWorkbook")->trigger(); });
        QVERIFY2(f.fake.log.last().startsWith(cannotSave + "big.xlsx\r\n"),
                 qPrintable(f.fake.log.last()));
        QCOMPARE(QDir(f.dir.path()).entryList({ "*.xlsx*", ".xlsx-*" }, QDir::Files | QDir::Hidden),
                 QStringList({ "results.xlsx" }));
        // Whatever a page holds, the sheet is well-formed XML: characters XML does not allow
        // are replaced, a NUL never ends a cell, and text that reads as an escape is escaped,
        // then cut to the 32,767 characters a cell holds, never inside a pair.
        const QString hostile = f.dir.filePath("hostile.xlsx"), a(32'753, 'a');
        const QStringList cells { "x\uFFFEy\uFFFF", QString::fromUtf16(u"n\0l", 3),
                                  "_x0041_" + a + "\U0001F600" };
        QCOMPARE(WriteResultsWorkbook(hostile, { "s", { { "1", "2", "3" }, cells }, {}, {} }),
                 QString());
        const QString hostileRows = ZipPart(hostile, "xl/worksheets/sheet1.xml");
        QXmlStreamReader xml(hostileRows);
        QStringList texts;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::Characters)
                texts << xml.text().toString();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY2(texts.contains("n\uFFFDl")
                     && hostileRows.contains("<t>_x005F_x0041_" + a + "</t>"),
                 qPrintable(texts.join('|')));
        // The error number decides, whatever the volume says; a size that cannot be read (a
        // container's mount table may not list the folder) is unknown, never full.
        const std::pair<WriteFailure, QString> reasons[]
            = { { { EFBIG, true, true, 0, 9, "x" }, "文件超过了系统允许的大小。" },
                { { EDQUOT, true, true, {}, 9, "x" }, "磁盘空间不足。" },
                { { EROFS, true, true, 100, 9, "x" }, "没有写入权限。" },
                { { ENOTDIR, true, true, 100, 9, "x" }, "文件夹不存在。" },
                { { EIO, true, true, 0, 9, "x" }, "写入失败（x）。" },
                { { 0, true, true, {}, 9, "x" }, "写入失败（x）。" },
                { { 0, true, true, 8, 9, "x" }, "磁盘空间不足。" },
                { { 0, true, false, 8, 9, "x" }, "没有写入权限。" } };
        for (const auto &[failure, reason] : reasons)
            QCOMPARE(WriteFailureReason(failure), reason);

        const QPoint cut = table->visualRect(table->model()->index(3, 1)).center();
        QHelpEvent help(QEvent::ToolTip, cut, table->viewport()->mapToGlobal(cut));
        QCoreApplication::sendEvent(table->viewport(), &help);
        QTextDocument shown; // the tool tip's text, read the way it is shown
        shown.setHtml(QToolTip::text());
        QCOMPARE(shown.toPlainText(), odd + "\n失败原因：HTTP 404");
        for (int i = 0; i < 40; ++i)
            f.form->cx();
        const QRect newest = table->visualRect(table->model()->index(43, 0));
        QVERIFY(table->verticalScrollBar()->value() > 0
                && table->viewport()->rect().contains(newest));
        table->verticalScrollBar()->setValue(0);
        f.form->cx();
        QCOMPARE(table->verticalScrollBar()->value(), 0);
        // Sorted, newest first: each new row lands above what the user reads, which stays put;
        // at the top the new row shows.
        f.clickHeader(0);
        QCOMPARE(table->model()->index(0, 0).data().toString(), "45");
        f.form->cx();
        QCOMPARE(table->indexAt(QPoint(1, 1)).data().toString(), "46");
        table->verticalScrollBar()->setValue(20);
        const QString read = table->indexAt(QPoint(1, 1)).data().toString();
        for (int i = 0; i < 3; ++i)
            f.form->cx();
        QCOMPARE(table->indexAt(QPoint(1, 1)).data().toString(), read);
    }

    // Every run kept: a later run's counts tell what came before, in the tool tip and a mark
    // beside the count; a row's history opens in a window of its own; after a restart the last
    // results come back; clearing asks first.
    void history()
    {
        QTemporaryDir data;
        const QString path = data.filePath("history.sqlite");
        auto f = Form1Fixture::KeepingHistory(path);
        f->importLines({ "a.com", "fail.com" });
        for (const char *baidu : { "1,180", "1,234" }) {
            f->serveCounts("a.com", { baidu, "5", "-", "187.9万" });
            f->click("Command2");
            StepRunToItsEnd(*f->form);
        }
        QTableView *table = f->table();
        const QAbstractItemModel *rows = table->model();
        QTRY_VERIFY_WITH_TIMEOUT(rows->index(0, 2).data(Qt::ToolTipRole).isValid(), 60'000);
        const QDateTime firstRun = QDateTime::fromSecsSinceEpoch(
            AskSqlite(path, "SELECT min(fetched) FROM records").toLongLong());
        const QString before = "上次（" + firstRun.toString("yyyy-MM-dd HH:mm") + "）：";
        QCOMPARE(rows->index(0, 2).data(Qt::ToolTipRole).toString(),
                 before + "1,180 → 1,234（+54，+4.6%）");
        QCOMPARE(rows->index(0, 2).data().toString(), "1,234");
        QCOMPARE(rows->index(0, 3).data(Qt::ToolTipRole).toString(), before + "5 → 5（0，0.0%）");
        QVERIFY(!rows->index(0, 4).data(Qt::ToolTipRole).isValid());
        QCOMPARE(rows->index(1, 2).data(Qt::ToolTipRole).toString(), "失败原因：HTTP 404");
        // A screen reader hears what a sighted user hovers.
        QAccessibleTableInterface *cells
            = QAccessible::queryAccessibleInterface(table)->tableInterface();
        QCOMPARE(cells->cellAt(0, 2)->text(QAccessible::Description),
                 before + "1,180 → 1,234（+54，+4.6%）");
        QCOMPARE(cells->cellAt(1, 1)->text(QAccessible::Description), "失败原因：HTTP 404");
        QVERIFY(cells->cellAt(0, 1)->text(QAccessible::Description).isEmpty());
        const auto markAt = [&](int column) { // where a strong red begins in the cell, or -1
            const QImage cell
                = table->viewport()->grab(table->visualRect(rows->index(0, column))).toImage();
            for (int x = 0; x < cell.width(); ++x)
                for (int y = 0; y < cell.height(); ++y)
                    if (qRed(cell.pixel(x, y)) > 180 && qGreen(cell.pixel(x, y)) < 90)
                        return x;
            return -1;
        };
        // Right after the number it describes, not at the far edge of a wide cell.
        const int number = table->fontMetrics().horizontalAdvance("1,234");
        QVERIFY(table->columnWidth(2) > number + 40);
        QVERIFY2(markAt(2) > number && markAt(2) < number + 16,
                 qPrintable(QString::number(markAt(2))));
        QCOMPARE(markAt(3), -1);

        QVERIFY(!table->findChild<QAction *>("showHistory")->isEnabled()); // no row picked
        table->selectRow(0);
        // Selected, the mark takes the selection's text colour, past the number's own pixels.
        const QImage picked
            = table->viewport()->grab(table->visualRect(rows->index(0, 2))).toImage();
        const QRgb onSelection = table->palette().color(QPalette::HighlightedText).rgb();
        int drawn = 0;
        for (int x = number + 6; x < number + 16; ++x)
            for (int y = 0; y < picked.height(); ++y)
                drawn += picked.pixel(x, y) == onSelection;
        QVERIFY(drawn > 4);
        table->findChild<QAction *>("showHistory")->trigger();
        QWidget *window = f->form->findChild<QWidget *>("HistoryWindow");
        QVERIFY(window && window->isVisible() && window->windowTitle().contains("a.com"));
        auto *past = window->findChild<QTableView *>("historyRows");
        QCOMPARE(past->model()->rowCount(), 2);
        // One readable scale for counts 1,000 times apart, in 万; two runs in a day get their
        // times; a screen reader hears what the chart shows, and where its data is.
        auto *chart = window->findChild<QChartView *>("historyChart");
        auto *scale = qobject_cast<QCategoryAxis *>(chart->chart()->axes(Qt::Vertical).first());
        QCOMPARE(scale->categoriesLabels(),
                 QStringList({ "0", "10", "100", "1000", "1万", "10万", "100万", "1000万" }));
        QCOMPARE(
            qobject_cast<QDateTimeAxis *>(chart->chart()->axes(Qt::Horizontal).first())->format(),
            "MM-dd HH:mm");
        QCOMPARE(CountLabel(8), "1亿");
        // Each point at its run's real time and at log10(1 + count); "-" no point at all.
        const QList<QAbstractSeries *> lines = chart->chart()->series();
        const QList<QPointF> baidu = qobject_cast<QLineSeries *>(lines.at(0))->points();
        QCOMPARE(baidu.size(), 2);
        QCOMPARE(qint64(baidu.at(0).x()), firstRun.toMSecsSinceEpoch());
        QVERIFY(qAbs(baidu.at(0).y() - 3.0722) < 0.001 && qAbs(baidu.at(1).y() - 3.0917) < 0.001);
        QCOMPARE(qobject_cast<QLineSeries *>(lines.at(2))->count(), 0);
        QCOMPARE(chart->accessibleName(), "a.com的收录数量走势图");
        for (QWidget *part : { static_cast<QWidget *>(chart), chart->viewport() }) // nothing
            QVERIFY(
                !(part->focusPolicy() & Qt::TabFocus) // unnamed to land on
                && !QAccessible::queryAccessibleInterface(part)->text(QAccessible::Name).isEmpty());
        QVERIFY(chart->accessibleDescription().contains("对数刻度，共2次查询"));
        QCOMPARE(window->accessibleName(), "历史记录：a.com");
        QVERIFY(!past->accessibleName().isEmpty());
        QCOMPARE(past->model()->index(0, 1).data().toString(), "1,234"); // the newest first
        f->fake.fileAnswers << f->dir.filePath("a.csv") << f->dir.filePath("a.xlsx");
        past->findChild<QAction *>("exportResults")->trigger();
        QVERIFY(QString::fromUtf8(ReadFile(f->dir.filePath("a.csv")))
                    .contains(",\"1,180\",5,'-,187.9万,\r\n"));
        // In Excel every count that stands for a number is that number, its own reasons column
        // the only one.
        past->findChild<QAction *>("exportWorkbook")->trigger();
        const QString sheet = ZipPart(f->dir.filePath("a.xlsx"), "xl/worksheets/sheet1.xml");
        QVERIFY2(sheet.contains(R"(<c r="B2"><v>1234</v>)") && sheet.contains("<t>-</t>")
                     && sheet.contains(R"(<c r="E2"><v>1879000</v>)")
                     && sheet.count("失败原因") == 1,
                 qPrintable(sheet.left(3000)));
        window->close();
        QCoreApplication::processEvents();
        QVERIFY(f->fake.log.filter("已经写入").isEmpty()); // nothing was ever waiting

        f = Form1Fixture::KeepingHistory(path); // started again
        table = f->table();
        table->findChild<QAction *>("openLastResults")->trigger();
        QCOMPARE(f->rowTexts(0), QStringList({ "1", "a.com", "1,234", "5", "-", "187.9万" }));
        QCOMPARE(f->rowTexts(1), QStringList({ "2", "fail.com", "", "", "", "" }));
        QCOMPARE(table->model()->index(0, 2).data(Qt::ToolTipRole).toString(),
                 before + "1,180 → 1,234（+54，+4.6%）");
        QCOMPARE(table->model()->index(1, 1).data(Qt::ToolTipRole).toString(),
                 "失败原因：HTTP 404");
        table->findChild<QAction *>("clearHistory")->trigger(); // 取消
        f->fake.confirms = true;
        table->findChild<QAction *>("clearHistory")->trigger();
        table->findChild<QAction *>("openLastResults")->trigger();
        QCOMPARE(f->fake.log.filter("confirm").size(), 2);
        QCOMPARE(f->status()->panelText(2), "历史中还没有结果");
        QCOMPARE(f->rowCount(), 2);

        // A disk that fills passes: the rows wait, said once; written once there is room, said
        // once; a close while rows still wait says how many are lost.
        f->importLines({ "a.com", "fail.com" });
        f->fake.log.clear();
        const auto runUnderAFullDisk = [&] {
            WithFileSizeLimit(1, [&] {
                f->click("Command2");
                StepRunToItsEnd(*f->form);
                f->table()->findChild<QAction *>("openLastResults")->trigger(); // reads after all
            });
        };
        runUnderAFullDisk();
        QTRY_COMPARE_WITH_TIMEOUT(f->fake.log.filter("暂时无法写入").size(), 1, 60'000);
        runUnderAFullDisk();
        table->findChild<QAction *>("openLastResults")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(f->fake.log.filter("已经写入").size(), 1, 60'000);
        QVERIFY(f->fake.log.filter("已经写入").first().contains("4行"));
        QCOMPARE(f->fake.log.filter("暂时无法写入").size(), 1);
        WithFileSizeLimit(1, [&] {
            f->click("Command2");
            StepRunToItsEnd(*f->form);
            f->form->close();
        });
        QVERIFY2(f->fake.log.last().contains("有2行查询结果未能写入"),
                 qPrintable(f->fake.log.last()));

        // A file that cannot be made: said once, and the history is off until the next start.
        const QString nowhere = WriteFile(data.filePath("plain"), {}) + "/history.sqlite";
        f = Form1Fixture::KeepingHistory(nowhere);
        QTRY_COMPARE_WITH_TIMEOUT(f->fake.log.size(), 1, 60'000);
        QVERIFY2(f->fake.log.first().startsWith("warning Varnel系列软件: 无法使用历史记录文件："
                                                + nowhere + "\r\n"),
                 qPrintable(f->fake.log.first()));
        QVERIFY(!f->table()->findChild<QAction *>("showHistory")->isEnabled());
    }

    // A stopped run goes on from the list's menu where it stood, its rows and numbers kept;
    // closed and reopened, 打开上次的结果 brings back its rows and its list, and Ctrl+R goes on
    // to the end. A list changed meanwhile, or a run that ended, has nothing to continue.
    void continuingARun()
    {
        QTemporaryDir data;
        const QString path = data.filePath("history.sqlite");
        auto f = Form1Fixture::KeepingHistory(path);
        const QStringList list { "a.com", "b.com", "bad", "c.com", "d.com", "e.com" };
        const auto serve = [&] {
            for (const QString &domain : list)
                f->serveCounts(domain, { domain.left(1), "2", "3", "4" });
        };
        serve();
        const auto action = [&] { return f->form->findChild<QAction *>("continueRun"); };
        f->importLines(list);
        QVERIFY(!action()->isEnabled());
        f->click("Command2");
        const auto enabled
            = [&](const char *name) { return f->table()->findChild<QAction *>(name)->isEnabled(); };
        QVERIFY(!action()->isEnabled());
        QVERIFY(!enabled("listRuns") && !enabled("openLastResults") && !enabled("clearHistory"));
        f->step();
        f->click("Command2"); // stopped after b.com
        QVERIFY(enabled("listRuns") && enabled("openLastResults") && enabled("clearHistory"));
        QVERIFY(action()->isEnabled());
        f->button("Command2")->setEnabled(false); // as after a failed update check
        action()->trigger();
        QCOMPARE(f->rowCount(), 2);
        f->button("Command2")->setEnabled(true);
        QVERIFY(f->menu(f->list(), "继续查询").contains("继续查询"));
        QCOMPARE(f->rowTexts(2), QStringList({ "3", "c.com", "c", "2", "3", "4" }));
        QCOMPARE(f->runState(), "停止查询 list:0 pace:0 timer:1 mode:1 cursor:3");
        f->click("Command2"); // stopped after c.com
        f->list()->addItem("f.com"); // an entry added at the end is walked too
        QVERIFY(action()->isEnabled());
        f->list()->setListIndexQuietly(0);
        QTest::keyClick(f->list(), Qt::Key_Delete);
        QVERIFY(!action()->isEnabled());
        QCOMPARE(action()->toolTip(), "域名列表已改动，只能重新批量查询");
        f->form->close();

        f = Form1Fixture::KeepingHistory(path);
        serve();
        f->importLines({ "other.com" });
        f->fake.confirms = true;
        f->table()->findChild<QAction *>("openLastResults")->trigger();
        QVERIFY2(f->fake.log.last().contains("域名列表将换成上次查询的列表（6个域名）"),
                 qPrintable(f->fake.log.last()));
        QCOMPARE(f->list()->entries(), list);
        QCOMPARE(f->list()->currentText(), "d.com");
        QCOMPARE(f->rowCount(), 3);
        QVERIFY(f->status()->panelText(2).endsWith("还有2个域名未查询，可继续查询"));
        f->form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f->form.get()));
        QTest::keyClick(f->table(), Qt::Key_R, Qt::ControlModifier);
        StepRunToItsEnd(*f->form);
        QCOMPARE(f->rowTexts(4), QStringList({ "5", "e.com", "e", "2", "3", "4" }));
        QCOMPARE(f->status()->panelText(2), "所有域名已查询完毕!");
        QVERIFY(!action()->isEnabled());
        f->form->close();

        f = Form1Fixture::KeepingHistory(path); // one run of five rows, ended: rows only
        f->table()->findChild<QAction *>("openLastResults")->trigger();
        QCOMPARE(f->rowCount(), 5);
        QCOMPARE(f->list()->count(), 0);
        QVERIFY(!action()->isEnabled());

        // Cut short while b.com's page was on its way: b.com is asked for again; after an entry
        // that is no domain, the next one.
        const auto cutShort = [&](const QStringList &entries) {
            f.reset();
            HistoryStore store(path);
            QCOMPARE(store.open().problem, HistoryStore::Problem::None);
            const qint64 run = store.beginRun("run", "s", QDateTime::currentDateTime(), entries);
            store.record(run, { 1, "a.com", { "1", "1", "1", "1" }, {}, {} });
            store.reach(run, 1);
            QVERIFY(store.commit());
            f = Form1Fixture::KeepingHistory(path);
            f->table()->findChild<QAction *>("openLastResults")->trigger();
        };
        cutShort({ "a.com", "bad", "c.com" });
        QCOMPARE(f->list()->currentText(), "c.com");
        cutShort({ "a.com", "b.com", "c.com" });
        QCOMPARE(f->list()->currentText(), "b.com");
        QVERIFY(f->status()->panelText(2).endsWith("还有2个域名未查询，可继续查询"));
        QVERIFY(action()->isEnabled());

        // The first, ended run opened over it: the table holds other rows.
        f->fake.onOpen = [](QDialog &dialog) {
            auto *runs = dialog.findChild<QTableView *>("runsTable");
            const QModelIndex oldest = runs->model()->index(runs->model()->rowCount() - 1, 0);
            QTest::mouseClick(runs->viewport(), Qt::LeftButton, {},
                              runs->visualRect(oldest).center());
            QTest::mouseClick(dialog.findChild<QPushButton *>("openRun"), Qt::LeftButton);
        };
        f->fake.confirms = true;
        f->table()->findChild<QAction *>("listRuns")->trigger();
        QCOMPARE(f->rowCount(), 5);
        QVERIFY(!action()->isEnabled());
        QCOMPARE(action()->toolTip(), "表格中已是别的结果");
    }

    // A retry's counts take the failed row's place in its run, and an add's query outside a
    // run joins the run whose table it fills; in a fresh window a lone add is a small run of
    // its own, which 打开上次的结果 passes by.
    void runsAsTheUserKnowsThem()
    {
        QTemporaryDir data;
        const QString path = data.filePath("history.sqlite");
        auto f = Form1Fixture::KeepingHistory(path);
        f->serveCounts("a.com", { "1", "1", "1", "1" });
        f->importLines({ "a.com", "late.com" }); // late.com fails
        f->click("Command2");
        StepRunToItsEnd(*f->form);
        f->serveCounts("late.com", { "2", "2", "2", "2" });
        f->table()->findChild<QAction *>("retryFailed")->trigger();
        StepRunToItsEnd(*f->form);
        f->serveCounts("added.com", { "3", "3", "3", "3" });
        f->list()->addItem("added.com");
        f->form->cx();
        f.reset();
        const auto ask = [&](const char *sql) { return AskSqlite(path, sql).toString(); };
        QCOMPARE(ask("SELECT group_concat(kind) FROM runs"), "run");
        QCOMPARE(ask("SELECT group_concat(number || domain || baidu, ' ') FROM records"),
                 "1a.com1 2late.com2 3added.com3");

        f = Form1Fixture::KeepingHistory(path);
        f->serveCounts("lone.com", { "4", "4", "4", "4" });
        f->list()->addItem("lone.com");
        f->form->cx();
        f->fake.confirms = true;
        f->table()->findChild<QAction *>("openLastResults")->trigger();
        QCOMPARE(f->rowCount(), 3);
        QCOMPARE(f->rowTexts(1), QStringList({ "2", "late.com", "2", "2", "2", "2" }));

        // 历史查询… lists both, the newest first; one is deleted after asking, the other opened.
        QStringList listed;
        f->fake.onOpen = [&](QDialog &dialog) {
            auto *runs = dialog.findChild<QTableView *>("runsTable");
            const auto rows = [runs] {
                QStringList texts;
                for (int row = 0; row < runs->model()->rowCount(); ++row)
                    texts << runs->model()->index(row, 1).data().toString() + " "
                            + runs->model()->index(row, 2).data().toString() + "/"
                            + runs->model()->index(row, 4).data().toString();
                return texts.join(", ");
            };
            listed << rows();
            f->fake.confirms = false;
            QTest::mouseClick(dialog.findChild<QPushButton *>("deleteRun"), Qt::LeftButton);
            f->fake.confirms = true;
            QTest::mouseClick(dialog.findChild<QPushButton *>("deleteRun"), Qt::LeftButton);
            listed << rows();
            QTest::mouseClick(dialog.findChild<QPushButton *>("openRun"), Qt::LeftButton);
        };
        f->list()->addItem("one.com");
        f->form->cx(); // the reopened run's fourth row, failed
        f->table()->findChild<QAction *>("listRuns")->trigger();
        QCOMPARE(listed,
                 QStringList({ "添加域名 1/0, 批量查询 4/1", "批量查询 4/1" })); // one.com failed
        QCOMPARE(f->rowCount(), 4);
        QVERIFY(f->fake.log.filter("确定要删除").last().contains("共1行"));
        f.reset();
        QCOMPARE(ask("SELECT group_concat(kind) FROM runs"), "run");
    }

    // Two hand-made runs side by side: each engine before and after, the change and its
    // percentage; new, gone, newly failed and recovered domains named; sorted by value with
    // the rows without one last; the ready filters; exported as shown.
    void comparingTwoRuns()
    {
        QTemporaryDir data;
        const QString path = data.filePath("history.sqlite");
        {
            HistoryStore store(path);
            QCOMPARE(store.open().problem, HistoryStore::Problem::None);
            const auto keep = [&](const QList<std::pair<QString, PageCounts>> &rows) {
                const qint64 run = store.beginRun("run", "s", QDateTime::currentDateTime());
                for (const auto &[domain, counts] : rows)
                    store.record(run, { 1, domain, counts, {}, QDateTime::currentDateTime() });
                QVERIFY(store.commit());
            };
            keep({ { "a.com", { "1,000", "10", "5", "0" } },
                   { "b.com", { "100", "1", "1", "1" } },
                   { "c.com", { "7", "7", "7", "7" } },
                   { "d.com", {} },
                   { "f.com", { "3", "3", "3", "3" } },
                   { "g.com", { "1", "1", "1", "1" } } });
            keep({ { "A.com", { "1,200", "5", "5", "0" } },
                   { "b.com", { "0", "1", "1", "1" } },
                   { "c.com", {} },
                   { "d.com", { "9", "9", "9", "9" } },
                   { "e.com", { "2", "2", "2", "2" } },
                   { "g.com", { "1", "1", "1", "1" } } });
        }
        auto f = Form1Fixture::KeepingHistory(path);
        f->fake.onOpen = [](QDialog &dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton *>("compareRuns"), Qt::LeftButton);
        };
        f->table()->findChild<QAction *>("listRuns")->trigger();
        auto *window = f->form->findChild<QWidget *>("ComparisonWindow");
        QVERIFY(window && window->isVisible());
        auto *table = window->findChild<QTableView *>("comparisonRows");
        const auto row = [table](int at) {
            QStringList cells;
            for (int column = 0; column < 10; ++column)
                cells << table->model()->index(at, column).data().toString();
            return cells.join('|');
        };
        QCOMPARE(table->model()->rowCount(), 7);
        QCOMPARE(row(0), "A.com||1,000|1,200|+200|+20.0%|10|5|-5|-50.0%");
        QCOMPARE(row(1), "b.com||100|0|-100|-100.0%|1|1|0|0.0%");
        QCOMPARE(row(2), "c.com|新失败|7||||7|||");
        QCOMPARE(row(3), "d.com|恢复||9||||9||");
        QCOMPARE(row(4), "e.com|新增||2||||2||");
        QCOMPARE(row(6), "f.com|消失|3||||3|||");
        QCOMPARE(table->model()->index(0, 17).data().toString(), ""); // no percentage of a 0

        QTest::mouseClick(table->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(table->horizontalHeader()->sectionViewportPosition(4) + 5, 5));
        QVERIFY(row(0).startsWith("A.com|") && row(1).startsWith("g.com|")
                && row(2).startsWith("b.com|") && row(6).section('|', 4, 4).isEmpty());
        auto *filter = window->findChild<QComboBox *>("comparisonFilter");
        const std::pair<const char *, int> shown[]
            = { { "下降超过30%", 2 }, { "变为0", 1 }, { "新失败", 1 }, { "只看有变化的", 6 } };
        for (const auto &[choice, rows] : shown) {
            filter->setCurrentText(choice);
            QCOMPARE(table->model()->rowCount(), rows);
        }
        filter->setCurrentText("变为0");
        f->fake.fileAnswers << f->dir.filePath("changes.csv");
        table->findChild<QAction *>("exportResults")->trigger();
        const QStringList lines = QString::fromUtf8(ReadFile(f->dir.filePath("changes.csv")))
                                      .split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(1).startsWith("b.com,,100,0,-100,"), qPrintable(lines.at(1)));
    }

    // A page that comes back after its table was replaced by reopened rows lands nowhere: not in
    // the row that now holds another domain (a retry's page), not below the reopened rows (a
    // stopped run's), and not in the history. Two windows keep one history.
    void latePagesKeepToTheirTable()
    {
        QTemporaryDir data;
        const QString path = data.filePath("history.sqlite");
        auto f = Form1Fixture::KeepingHistory(path), other = Form1Fixture::KeepingHistory(path);
        f->fake.confirms = true;
        f->serveCounts("a.com", { "1", "1", "1", "1" });
        f->importLines({ "a.com", "e.com", "f.com" }); // e.com and f.com fail
        f->click("Command2");
        StepRunToItsEnd(*f->form);
        // In the file before the other window's run, however slow this one's writer is.
        QTRY_COMPARE_WITH_TIMEOUT(AskSqlite(path, "SELECT count(*) FROM records").toInt(), 3,
                                  60'000);

        f->serveCounts("f.com", { "9", "9", "9", "9" }, ScriptedHttpServer::Mode::Held);
        f->onRequest("f.com", [&] {
            f->step(); // nothing left to retry: the retry ends while f.com's page is on its way
            for (const char *domain : { "p.com", "q.com", "r.com" })
                other->serveCounts(domain, { "4", "4", "4", "4" });
            other->importLines({ "p.com", "q.com", "r.com" });
            other->click("Command2");
            StepRunToItsEnd(*other->form);
            other.reset(); // its rows are the last ones kept
            f->table()->findChild<QAction *>("openLastResults")->trigger();
            f->server.release();
        });
        f->table()->findChild<QAction *>("retryFailed")->trigger(); // e.com fails again at once
        f->step();
        QCOMPARE(f->rowTexts(2), QStringList({ "3", "r.com", "4", "4", "4", "4" }));

        f->serveCounts("s.com", { "9", "9", "9", "9" }, ScriptedHttpServer::Mode::Held);
        f->importLines({ "a.com", "s.com" });
        f->onRequest("s.com", [&] {
            f->click("Command2");
            f->table()->findChild<QAction *>("openLastResults")->trigger(); // a.com alone
            f->server.release();
        });
        f->click("Command2");
        f->step();
        QCOMPARE(f->rowCount(), 1);
        f.reset();
        QCOMPARE(AskSqlite(path, "SELECT count(*) FROM records WHERE baidu = '9'").toInt(), 0);
    }

    // Qt's own windows: a box shows the server's text, never its markup; the file dialog
    // writes sizes the program's way (Chinese), whatever the system's locale.
    void qtDialogs()
    {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); // as the program does
        const QString sample = PROGRAM_DIR "/sample-domains.txt"; // under a kilobyte
        QStringList shown;
        const auto look = [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                shown << box->windowTitle() + (box->textFormat() == Qt::PlainText ? " plain" : "");
            if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                auto *files = static_cast<QFileSystemModel *>(dialog->proxyModel()->sourceModel());
                for (int column : { 0, 1, 3 })
                    shown << dialog->proxyModel()
                                 ->mapFromSource(files->index(sample, column))
                                 .data()
                                 .toString();
            }
            modal->close();
        };
        QTimer::singleShot(0, look);
        platform::QtMessageBoxes().show(nullptr, "![<img src=x>]", platform::BoxIcon::Information,
                                        "标题");
        QTimer::singleShot(0, look);
        platform::QtFileDialogs().openFile(nullptr, "t", "全部|*", sample);
        const QDateTime changed = QFileInfo(sample).lastModified();
        QCOMPARE(shown,
                 QStringList({ "标题 plain", "sample-domains.txt",
                               QString("%1 字节").arg(QFileInfo(sample).size()),
                               QLocale().toString(changed, QLocale::ShortFormat) }));
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
