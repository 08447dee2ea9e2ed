#include "BatchRun.h"
#include "Form1Fixture.h"
#include "LoopbackService.h"
#include "ServicesReady.h"
#include "SqlitePeek.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

// The batch mode, run in this process against the scripted loopback server: the gate, rows and
// statuses, the file written row by row, resume and interruption, and the outputs it refuses;
// its CSV byte for byte, as the window's export is checked.
class TestBatch : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        qunsetenv("http_proxy");
        serviceProblem.clear();
        compareLast.clear();
        f = std::make_unique<Form1Fixture>(false);
        f->serveVersionFile("kwtp:V1.0|");
        f->serveCounts("a.com", { "12,300", "-7", "", "=1+1" });
        f->serveCounts("c.com", { "1", "2", "3", "4" });
        list = f->writeFile("list.txt", "http://www.a.com\nbad\nfail.com\nc.com\n");
    }

    void rowsAndStatuses()
    {
        QCOMPARE(batch(), 1);
        QCOMPARE(csv,
                 QString("\xEF\xBB\xBF"
                         "编号,域名,百度,Google,360,Sogou\r\n"
                         "1,a.com,\"12,300\",-7,0,'=1+1\r\n2,fail.com,,,,\r\n3,c.com,1,2,3,4\r\n"));
        QCOMPARE(messages,
                 QStringList({ "1 a.com 12,300 -7 0 =1+1", "跳过：bad（域名不正确）",
                               "2 fail.com 失败（HTTP 404）", "3 c.com 1 2 3 4",
                               "共查询3个域名：有结果2个，失败1个，跳过1个" }));
        const QString workbook = f->dir.filePath("out.xlsx"); // written once, at the end
        QCOMPARE(batch(workbook), 1);
        const QString sheet = ZipPart(workbook, "xl/worksheets/sheet1.xml");
        QVERIFY2(sheet.contains("<t>c.com</t>") && sheet.contains("<t>HTTP 404</t>"),
                 qPrintable(sheet.left(2000)));
        QCOMPARE(batch(workbook, true), 2); // no rows to append to

        f->serveCounts("fail.com", { "0", "0", "0", "0" });
        QCOMPARE(batch(), 0);

        QCOMPARE(batch({}, false, f->dir.filePath("missing.txt")), 4);
        QCOMPARE(batch({}, false, "/dev/zero"), 4);
        QVERIFY(csv.isEmpty());
        // Standard output that takes nothing more: said, and not a success.
        QCOMPARE(batch({}, false, {}, std::fopen("/dev/full", "w")), 4);
        QCOMPARE(messages, QStringList({ "无法写入标准输出：磁盘空间不足。已停止查询。" }));

        // The gate: no query without a matching version file; why it failed is named.
        f->server.requests.clear();
        for (const QByteArray &version :
             { QByteArray("kwtp:V2.0|"), QByteArray("<html>502</html>") }) {
            f->serveVersionFile(version);
            QCOMPARE(batch(), 3);
            QCOMPARE(messages.size(), 1);
        }
        // Ctrl+C while the version file is on its way is an interrupt, not a failed check.
        f->server.setReply("/version/main.txt",
                           { 200, "kwtp:V1.0|", ScriptedHttpServer::Mode::Held });
        connect(&f->server, &ScriptedHttpServer::requestSeen, this, [](const QByteArray &path) {
            if (path == "/version/main.txt")
                QTimer::singleShot(0, [] { std::raise(SIGINT); });
        });
        QCOMPARE(batch(), 128 + SIGINT);
        QVERIFY2(messages.value(0).contains("中断"), qPrintable(messages.value(0)));
        f->server.close();
        QCOMPARE(batch(), 3);
        QVERIFY2(messages.value(0).contains("连接更新服务器出错："), qPrintable(messages.value(0)));
        QVERIFY(!f->asked("/siteall/"));
    }

    // Named services are reached through the proxy the environment names, as curl reaches
    // them (nobody listens at the named address itself); the bundled sample service always
    // directly (nobody listens at the proxy's address then).
    void proxies()
    {
        const QByteArray named = "http://127.0.0.2:9";
        f->server.setReply(named + "/version/main.txt", { 200, "kwtp:V1.0|" });
        f->server.setReply(named + "/siteall/c.com",
                           { 200, standin::StatisticsPage("c.com", { "1", "2", "3", "4" }) });
        list = f->writeFile("list.txt", "c.com\n");
        qputenv("http_proxy", f->server.base().toUtf8());
        f->settings = AppSettings::onHost(named);
        QCOMPARE(batch(), 0);
        QVERIFY(csv.endsWith("1,c.com,1,2,3,4\r\n"));

        qputenv("http_proxy", "http://127.0.0.1:9");
        f->settings = AppSettings().withSampleService(f->server.base());
        QCOMPARE(batch(), 0);
        QVERIFY2(messages.value(0).contains("示例数据"), qPrintable(messages.value(0)));
        // No sample service to start: said in the user's words, and the check fails at once.
        platform::LoopbackService none;
        f->settings
            = ServicesReady(AppSettings(), none, "/nowhere/varnel-standin", &serviceProblem);
        QCOMPARE(batch(), 3);
        QCOMPARE(messages.size(), 2);
        QVERIFY2(messages.first().startsWith("示例服务无法启动：找不到示例服务程序"),
                 qPrintable(messages.first()));
        QVERIFY2(!messages.last().contains("URL"), qPrintable(messages.last()));
        // One that ends during the run is said once.
        serviceProblem.clear();
        const QString quitter
            = f->writeFile("quitter",
                           "#!/bin/sh\necho 'listening on " + f->server.base().toUtf8()
                               + "'\nwhile [ ! -e \"$0.go\" ]; do "
                                 "sleep 0.05; done\n");
        QFile::setPermissions(quitter, QFile::ReadOwner | QFile::ExeOwner);
        platform::LoopbackService ending;
        f->settings = ServicesReady(AppSettings(), ending, quitter, &serviceProblem);
        sample = &ending;
        list = f->writeFile("list.txt", "c.com\n");
        f->serveCounts("c.com", { "1", "2", "3", "4" }, ScriptedHttpServer::Mode::Held);
        f->onRequest("c.com", [&] {
            QFile(quitter + ".go").open(QIODevice::WriteOnly);
            QTRY_VERIFY_WITH_TIMEOUT(!ending.running(), 60'000);
            f->server.release();
        });
        QVERIFY2(batch() == 0, qPrintable(messages.join('\n')));
        QCOMPARE(messages.filter("示例服务已停止运行").size(), 1);
        sample = nullptr;
    }

    // Each row is on disk as soon as it is made; Ctrl+C ends the query under way at once with
    // no row for it; a resume goes on with each domain once, numbering on, the header once; a
    // last row cut short is dropped, and a defused domain is read back as itself.
    void outputInterruptedAndResumed()
    {
        const QString out = f->writeFile("out.csv", {}); // exists, empty: gets the header
        f->serveCounts("c.com", { "1", "2", "3", "4" }, ScriptedHttpServer::Mode::Held);
        QByteArray onDiskMeanwhile;
        bool once = true;
        f->onRequest("c.com", [&] {
            if (!std::exchange(once, false))
                return;
            onDiskMeanwhile = ReadFile(out);
            std::raise(SIGINT); // the page is never released
        });
        f->serveCounts("d.com", { "5", "5", "5", "5" });
        f->serveCounts("=d.com", { "6", "6", "6", "6" });
        list = f->writeFile("list.txt", "a.com\nfail.com\nc.com\nd.com\n=d.com\n");
        QCOMPARE(batch(out), 128 + SIGINT);
        QCOMPARE(onDiskMeanwhile.count("\r\n"), 3); // header, a.com, fail.com
        QCOMPARE(ReadFile(out), onDiskMeanwhile);
        QVERIFY(!f->asked("d.com"));
        QCOMPARE(messages.last(),
                 "共查询2个域名：有结果1个，失败1个，跳过0个；已中断，还有3个域名未查询");

        f->serveCounts("fail.com", { "9", "9", "9", "9" });
        f->serveCounts("c.com", { "1", "2", "3", "4" });
        QCOMPARE(batch(out, true), 0);
        QVERIFY2(messages.value(0).contains("1个域名"), qPrintable(messages.value(0))); // a.com
        const QByteArray finished
            = "\xEF\xBB\xBF"
              "编号,域名,百度,Google,360,Sogou\r\n1,a.com,\"12,300\",-7,0,'=1+1\r\n"
              "2,fail.com,,,,\r\n3,fail.com,9,9,9,9\r\n4,c.com,1,2,3,4\r\n5,d.com,5,5,5,5\r\n"
              "6,'=d.com,6,6,6,6\r\n";
        QCOMPARE(ReadFile(out), finished);

        // A crash left half a row, its number the largest: cut off, numbering goes on from 9.
        const QString cut = f->writeFile("cut.csv", finished + "9,e.com,1,1,1,1\r\n8,\"f.com,1");
        f->serveCounts("g.com", { "7", "7", "7", "7" });
        list = f->writeFile("list.txt", "a.com\n=d.com\ng.com\n");
        QVERIFY2(batch(cut, true) == 0, qPrintable(messages.join('\n')));
        QCOMPARE(ReadFile(cut), finished + "9,e.com,1,1,1,1\r\n10,g.com,7,7,7,7\r\n");
        QVERIFY2(messages.first().contains("最后一行不完整"), qPrintable(messages.join('\n')));
        // A plain run on a file whose last row was cut takes that row off before it appends.
        const QString plain = f->writeFile("plain.csv", finished + "7,\"f.com,1");
        list = f->writeFile("list.txt", "g.com\n");
        QCOMPARE(batch(plain), 0);
        QCOMPARE(ReadFile(plain), finished + "1,g.com,7,7,7,7\r\n");
        QVERIFY2(messages.first().contains("最后一行不完整"), qPrintable(messages.join('\n')));
        // A crash while the header itself was being written: the file starts again with it.
        const QString headless = f->writeFile("headless.csv", "\xEF\xBB\xBF编号,域");
        list = f->writeFile("list.txt", "g.com\n");
        QCOMPARE(batch(headless, true), 0);
        QCOMPARE(ReadFile(headless),
                 QByteArray("\xEF\xBB\xBF编号,域名,百度,Google,360,Sogou\r\n1,g.com,7,7,7,7\r\n"));
    }

    // Outputs that are not ours to append to are refused before any query and left as they
    // were: not our CSV, a broken row before the last, a number out of range, the list itself,
    // a FIFO, a device, a file another run holds, a missing folder.
    void refusedOutputs()
    {
        const QByteArray header = "\xEF\xBB\xBF编号,域名,百度,Google,360,Sogou\r\n";
        const std::pair<QByteArray, const char *> notOurs[]
            = { { header.left(3) + "a,b\r\n\"broken\r\n", "不是本程序" },
                { QByteArray(header).replace("\r\n", "\n") + "1,a.com,1,1,1,1\n", "不是本程序" },
                { header.left(3) + "a note", "不是本程序" },
                { header.left(3) + QByteArray(2 << 20, '\0'), "不是本程序" },
                { header + "1,\"a\"x.com,1,1,1,1\r\n2,b.com,1,1,1,1\r\n", "不是本程序" },
                { header + "1,a.com,1,1\r\n2,b.com,1,1,1,1\r\n", "第2行" },
                { header + "2147483647,a.com,1,1,1,1\r\n", "编号超出范围" },
                { header + "99999999999,a.com,1,1,1,1\r\n", "编号超出范围" } };
        for (const auto &[content, said] : notOurs) {
            const QString earlier = f->writeFile("earlier.csv", content);
            QCOMPARE(batch(earlier, true), 2);
            QVERIFY2(messages.value(0).contains(said), qPrintable(messages.value(0)));
            QCOMPARE(ReadFile(earlier), content);
        }

        const QString alias = f->dir.filePath("alias.txt");
        QVERIFY(QFile::link(list, alias));
        QCOMPARE(batch(alias), 2);
        QCOMPARE(ReadFile(list), QByteArray("http://www.a.com\nbad\nfail.com\nc.com\n"));

        const QString fifo = f->dir.filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString held = f->writeFile("held.csv", {});
        QFile other(held);
        QVERIFY(other.open(QIODevice::ReadOnly));
        QCOMPARE(::flock(other.handle(), LOCK_EX | LOCK_NB), 0); // as a second run would
        const std::tuple<QString, bool, const char *> unusable[]
            = { { fifo, false, "不是普通文件" },
                { "/dev/zero", true, "不是普通文件" },
                { held, false, "另一个批量查询正在写入" },
                { f->dir.filePath("no/out.csv"), false, "文件夹不存在" } };
        for (const auto &[output, resume, said] : unusable) {
            QCOMPARE(batch(output, resume), 4);
            QVERIFY2(messages.value(0).contains(said), qPrintable(messages.value(0)));
        }
        // A workbook is checked the same way before the first query, though written at the end.
        const QString book = f->writeFile("l.xlsx", "a.com\n");
        QCOMPARE(batch(book, false, book), 2);
        QCOMPARE(ReadFile(book), QByteArray("a.com\n"));
        QCOMPARE(batch(f->dir.filePath("no/out.xlsx")), 4);
        QVERIFY2(messages.value(0).contains("文件夹不存在"), qPrintable(messages.value(0)));
        QVERIFY(!f->asked("/siteall/"));
        QCOMPARE(QFileInfo(held).size(), 0);

        QProcess first; // a run on out.xlsx, waiting for its next step
        first.start(PROGRAM_DIR "/varnel-index-query",
                    { "--batch", list, "--pace", "60", "--output", f->dir.filePath("out.xlsx"),
                      "--stats-url", f->server.base(), "--update-url", f->server.base(),
                      "--no-history" });
        QTRY_VERIFY_WITH_TIMEOUT(f->asked("/siteall/"), 60'000);
        QCOMPARE(batch(f->dir.filePath("out.xlsx")), 4);
        QVERIFY2(messages.value(0).contains("另一个批量查询正在写入"),
                 qPrintable(messages.value(0)));
        first.kill();
        QVERIFY(first.waitForFinished(60'000));
    }

    // A disk that fills mid-run: said, stopped, status 4; the file keeps every whole row.
    void fullDisk()
    {
        const QString out = f->dir.filePath("out.csv");
        int status = 0;
        WithFileSizeLimit(80, [&] { status = batch(out); }); // the header and a row fit
        QCOMPARE(status, 4);
        QCOMPARE(ReadFile(out),
                 QByteArray("\xEF\xBB\xBF编号,域名,百度,Google,360,Sogou\r\n1,a.com,\"12,300\",-7,"
                            "0,'=1+1\r\n"));
        QCOMPARE(messages.mid(2),
                 QStringList({ "无法写入" + out + "：文件超过了系统允许的大小。已停止查询。",
                               "共查询1个域名：有结果1个，失败0个，跳过1个；因无法写入而停止，"
                               "还有2个域名未查询" }));
        // A workbook that cannot be written at the end is said once, in the program's words:
        // nothing of the library's own reaches stderr.
        QTemporaryFile caught;
        QVERIFY(caught.open());
        const int saved = ::dup(STDERR_FILENO);
        ::dup2(caught.handle(), STDERR_FILENO);
        WithFileSizeLimit(100, [&] { status = batch(f->dir.filePath("out.xlsx")); });
        ::dup2(saved, STDERR_FILENO);
        ::close(saved);
        QCOMPARE(status, 4);
        QVERIFY2(messages.last().startsWith("无法写入"), qPrintable(messages.last()));
        QCOMPARE(ReadFile(caught.fileName()), QByteArray());
    }

    // Batch rows are kept in the history as a run of their own; a run killed outright keeps
    // what was committed before the kill, and rows are committed while the run goes on.
    void history()
    {
        const QString path = f->dir.filePath("history.sqlite");
        f->settings.historyFile = path;
        QCOMPARE(batch(), 1);
        QCOMPARE(AskSqlite(path, "SELECT group_concat(kind) FROM runs").toString(), "batch");
        QCOMPARE(
            AskSqlite(path,
                      "SELECT group_concat(domain) FROM (SELECT domain FROM records ORDER BY id)")
                .toString(),
            "a.com,fail.com,c.com");
        // --compare-last: this run against the one before it, as CSV; with none before, or no
        // history, said and status 4.
        compareLast = f->dir.filePath("changes.csv");
        f->serveCounts("a.com", { "12,000", "-7", "", "=1+1" });
        f->serveCounts("fail.com", { "1", "1", "1", "1" });
        QCOMPARE(batch(), 0);
        const QStringList lines = QString::fromUtf8(ReadFile(compareLast)).split("\r\n");
        QString header = "域名,变化"; // and four columns for each engine
        for (const char *engine : { "百度", "Google", "360", "Sogou" })
            header += QString(",%1（前）,%1（后）,%1变化,%1变化%").arg(engine);
        QVERIFY2(lines.at(0).endsWith(header), qPrintable(lines.at(0)));
        // "-7" stands for no count: no change; a sign before text is defused, as in the results.
        QVERIFY2(lines.at(1).startsWith("a.com,,\"12,300\",\"12,000\",-300,'-2.4%,-7,-7,,,0,0,0,,"),
                 qPrintable(lines.at(1)));
        QVERIFY2(lines.at(2).startsWith("fail.com,恢复,,1,,,"), qPrintable(lines.at(2)));
        QCOMPARE(lines.size(), 5); // and c.com, unchanged; the last line ends too
        f->settings.historyFile.clear();
        QCOMPARE(batch(), 4);
        QVERIFY(messages.last().startsWith("无法写入比较" + compareLast));
        f->settings.historyFile = path; // a run of no rows is not compared as two earlier ones
        QCOMPARE(batch({}, false, f->writeFile("bad.txt", "bad\n")), 4);
        QVERIFY2(messages.last().endsWith("本次没有查询结果"), qPrintable(messages.last()));
        f->settings.historyFile = path;
        compareLast.clear();
        // A file that is not a history of ours is refused before any query, left as it was;
        // so is the list itself, and the output.
        f->server.requests.clear();
        for (const QString &notOurs : { f->writeFile("notes.txt", "x\n"), list }) {
            const QByteArray bytes = ReadFile(notOurs);
            f->settings.historyFile = notOurs;
            QCOMPARE(batch(), notOurs == list ? 2 : 4);
            QCOMPARE(ReadFile(notOurs), bytes);
        }
        const QString out = f->writeFile("out.csv", {});
        f->settings.historyFile = out;
        QCOMPARE(batch(out), 2);
        QVERIFY(ReadFile(out).isEmpty());
        QVERIFY(!f->asked("/siteall/"));

        const QString killed = f->dir.filePath("killed.sqlite");
        QProcess program;
        program.start(PROGRAM_DIR "/varnel-index-query",
                      { "--batch", f->writeFile("long.txt", "c.com\nd.com\ne.com\nf.com\ng.com\n"),
                        "--pace", "60", "--stats-url", f->server.base(), "--update-url",
                        f->server.base(), "--history-file", killed });
        // The first row is in the file long before the run's end, 4 minutes on.
        QTRY_VERIFY_WITH_TIMEOUT(AskSqlite(killed, "SELECT count(*) FROM records").toInt() == 1,
                                 60'000);
        program.kill();
        QVERIFY(program.waitForFinished(60'000));
        QCOMPARE(AskSqlite(killed, "SELECT domain FROM records").toString(), "c.com");
        QCOMPARE(AskSqlite(killed, "PRAGMA quick_check").toString(), "ok");
    }

    // As a child process: SIGTERM mid-run ends the wait at once, with the summary and status
    // 143, and the workbook written with the rows made, nothing beside it; a second signal ends
    // it at once, without a summary; a reader that goes away is a failed write, said, status 4.
    void endedFromOutside()
    {
        const QStringList run { "--batch",        list,           "--stats-url",
                                f->server.base(), "--update-url", f->server.base(),
                                "--no-history" };
        QProcess program;
        QString said;
        const auto startWaiting = [&](const QStringList &output) { // after the first row
            said.clear();
            program.start(PROGRAM_DIR "/varnel-index-query",
                          run + output + QStringList { "--pace", "60" });
            QTRY_VERIFY_WITH_TIMEOUT((said += program.readAllStandardError()).contains("1 a.com"),
                                     60'000);
        };
        const auto finished = [&] { return said += Finished(program); };
        const QString workbook = f->dir.filePath("out.xlsx");
        startWaiting({ "--output", workbook });
        program.terminate();
        QVERIFY2(finished().contains("已中断，还有2个域名未查询"), qPrintable(said));
        QCOMPARE(program.exitCode(), 143);
        QVERIFY(ZipPart(workbook, "xl/worksheets/sheet1.xml").contains("<t>a.com</t>"));
        QCOMPARE(QDir(f->dir.path()).entryList({ "*.xlsx*" }, QDir::Files | QDir::Hidden),
                 QStringList { "out.xlsx" });

        startWaiting({}); // both signals come while the first is not yet handled
        const pid_t pid = pid_t(program.processId());
        ::kill(pid, SIGSTOP);
        QTRY_VERIFY(ReadFile(QString("/proc/%1/stat").arg(pid)).contains(") T "));
        ::kill(pid, SIGINT);
        ::kill(pid, SIGTERM);
        ::kill(pid, SIGCONT);
        QVERIFY2(!finished().contains("共查询"), qPrintable(said));
        QVERIFY2(QList<int>({ 130, 143 }).contains(program.exitCode()),
                 qPrintable(QString::number(program.exitCode())));

        program.start("bash",
                      QStringList { "-c", "\"$0\" \"$@\" | true; echo status ${PIPESTATUS[0]} >&2",
                                    PROGRAM_DIR "/varnel-index-query" }
                          + run);
        said.clear();
        QVERIFY2(finished().contains("无法写入标准输出") && said.endsWith("status 4\n"),
                 qPrintable(said));
    }

    // Where the window cannot show, one line says so and points to --batch (status 1); with no
    // home to keep it in, no history, said in one line, and the batch runs as ever.
    void withoutADesktop()
    {
        QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
        for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "HOME", "XDG_DATA_HOME" })
            bare.remove(name);
        bare.insert("QT_QPA_PLATFORM", "xcb");
        QProcess program;
        program.setProcessEnvironment(bare);
        const auto said = [&](const QStringList &arguments) {
            program.start(PROGRAM_DIR "/varnel-index-query", arguments);
            return Finished(program).split('\n').first();
        };
        const QString noDisplay = said({});
        QCOMPARE(program.exitCode(), 1);
        QVERIFY2(noDisplay.startsWith("没有可用的图形显示") && noDisplay.contains("--batch"),
                 qPrintable(noDisplay));
        QCOMPARE(said({ "--batch", f->writeFile("one.txt", "a.com\n"), "--stats-url",
                        f->server.base(), "--update-url", f->server.base() }),
                 "没有可用的主目录（HOME未设置或不存在），本次不保存历史记录。");
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().contains("\r\n1,a.com,\"12,300\","));
    }

    // On a terminal one progress line is redrawn in place: a message clears it first, and a
    // failed domain is named with its reason there too.
    void onATerminal()
    {
        int master = -1, slave = -1;
        termios raw {};
        ::cfmakeraw(&raw); // what the program writes, byte for byte
        QCOMPARE(::openpty(&master, &slave, nullptr, &raw, nullptr), 0);
        FILE *terminal = ::fdopen(slave, "w");
        FILE *out = std::fopen("/dev/null", "w");
        QCOMPARE(RunBatch({ list, 1, {}, false, {}, {} }, f->settings, out, terminal), 1);
        std::fclose(out);
        QByteArray shown;
        pollfd ready { master, POLLIN, 0 };
        while (!shown.contains("共查询") && ::poll(&ready, 1, 60'000) == 1) {
            char buffer[4096];
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            shown.append(buffer, got > 0 ? got : 0);
        }
        std::fclose(terminal);
        ::close(master);
        const QStringList screen = OnScreen(QString::fromUtf8(shown));
        QCOMPARE(screen.size(), 5);
        QCOMPARE(screen.mid(0, 2),
                 QStringList({ "跳过：bad（域名不正确）", "2 fail.com 失败（HTTP 404）" }));
        QVERIFY2(screen.at(2).startsWith("已查询 4/4，失败 1"), qPrintable(screen.at(2)));
        QCOMPARE(screen.at(3), "共查询3个域名：有结果2个，失败1个，跳过1个");
    }

private:
    // What the child said on stderr once it has ended; the loopback server answers meanwhile.
    static QString Finished(QProcess &program)
    {
        while (program.state() != QProcess::NotRunning && !program.waitForFinished(10))
            QCoreApplication::processEvents();
        return QString::fromUtf8(program.readAllStandardError());
    }

    // The lines a terminal shows for `written`: what follows a return to the line's start and
    // its erasure is all that is left of the line.
    static QStringList OnScreen(const QString &written)
    {
        QStringList lines;
        for (const QString &line : written.split(u'\n'))
            lines << line.section("\r\033[K", -1);
        return lines;
    }

    // Runs the batch with CSV and messages kept in memory (a file size limit leaves them be);
    // each message line's local time is checked and taken off.
    int batch(const QString &output = {}, bool resume = false, const QString &path = {},
              FILE *csvOut = nullptr)
    {
        // 1 ms steps: the command line keeps its 2 s minimum.
        const BatchOptions options {
            path.isEmpty() ? list : path, 1, output, resume, serviceProblem, compareLast
        };
        char *outBytes = nullptr, *errBytes = nullptr;
        size_t outSize = 0, errSize = 0;
        FILE *out = csvOut ? csvOut : open_memstream(&outBytes, &outSize);
        FILE *err = open_memstream(&errBytes, &errSize);
        const int status = RunBatch(options, f->settings, out, err, sample);
        std::fclose(out);
        std::fclose(err);
        csv = QString::fromUtf8(outBytes, qsizetype(outSize));
        messages.clear();
        static const QRegularExpression time(
            "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(Z|[+-]\\d\\d:\\d\\d) ");
        QString said = QString::fromUtf8(errBytes, qsizetype(errSize));
        said.chop(1); // the last line's break: any other blank line is a fault
        for (const QString &line : said.split(u'\n')) {
            const QRegularExpressionMatch stamp = time.match(line);
            if (!stamp.hasMatch())
                qFatal("a message without its time: %s", qPrintable(line));
            messages << line.mid(stamp.capturedLength());
        }
        std::free(outBytes);
        std::free(errBytes);
        return status;
    }
    std::unique_ptr<Form1Fixture> f;
    QString list;
    QString csv;
    QStringList messages;
    QString serviceProblem;
    QString compareLast;
    platform::LoopbackService *sample = nullptr;
};

QTEST_MAIN(TestBatch)
#include "tst_batch.moc"
