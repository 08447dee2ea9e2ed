#include "Form1Fixture.h"
#include "LoopbackService.h"
#include "ServiceSettings.h"
#include "ServiceSwitch.h"
#include "SqlitePeek.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

namespace {

template<typename T> T *In(QDialog &dialog, const char *name)
{
    return dialog.findChild<T *>(QString::fromLatin1(name));
}

void Press(QDialog &dialog, const char *name)
{
    QTest::mouseClick(In<QPushButton>(dialog, name), Qt::LeftButton);
}

void PressApply(QDialog &dialog)
{
    QTest::mouseClick(In<QDialogButtonBox>(dialog, "buttons")->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
}

} // namespace

class TestServices : public QObject
{
    Q_OBJECT

private slots:
    // A new user starts on the sample service: the window says so and offers the sample list.
    // From the window alone they name a real service (a wrong address is refused in the
    // command line's words), test it, apply it without a restart, and query it; the update
    // check is made again, the sample service ends, the history starts keeping rows. While a run
    // goes on, 应用 waits and says why.
    void fromTheWindowAlone()
    {
        QTemporaryDir data;
        platform::LoopbackService sample;
        AppSettings build;
        build.programDir = PROGRAM_DIR;
        build.historyFile = data.filePath("history.sqlite");
        const QString file = data.filePath("settings.conf");
        ServiceSwitch services({ build, {}, {}, PROGRAM_DIR "/varnel-standin", file }, sample);
        Form1Fixture f(false, {}, {}, &services);
        f.form->Load();
        QVERIFY(f.button("Command2")->isEnabled());
        QCOMPARE(f.form->windowTitle(), "Varnel网站收录批量查询器（示例数据）");
        QVERIFY(f.menu(f.list(), "打开示例域名列表").contains("服务设置…"));
        const QString current = f.list()->currentText();
        QVERIFY(!current.isEmpty()); // the sample list is open
        f.form->cx(); // a row of sample counts
        QTRY_COMPARE_WITH_TIMEOUT(f.rowCount(), 1, 60'000);
        f.table()->findChild<QAction *>("exportResults")->trigger(); // cancelled
        QVERIFY2(f.fake.log.last().endsWith("收录查询结果（示例数据）.csv"),
                 qPrintable(f.fake.log.last()));

        f.serveVersionFile("kwtp:V1.0|");
        f.serveCounts("live.com", { "5", "6", "7", "8" });
        QString tested;
        f.fake.onOpen = [&](QDialog &dialog) {
            QCOMPARE(In<QLabel>(dialog, "statsNote")->text(),
                     "留空：使用程序自带的示例服务（示例数据）");
            QCOMPARE(In<QLineEdit>(dialog, "testDomain")->text(), current);
            In<QLineEdit>(dialog, "statsUrl")->setText("ftp://stats.example");
            PressApply(dialog);
            QCOMPARE(In<QLabel>(dialog, "problem")->text(),
                     "网站统计服务地址：不是有效的http或https服务地址：\"ftp://stats.example\"");
            In<QLineEdit>(dialog, "statsUrl")->setText(f.server.base() + "/");
            In<QLineEdit>(dialog, "updateUrl")->setText(f.server.base());
            In<QLineEdit>(dialog, "testDomain")->setText("live.com");
            Press(dialog, "testConnection");
            tested = In<QLabel>(dialog, "testResult")->text();
            PressApply(dialog);
        };
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QTest::keyClick(f.list(), Qt::Key_Comma, Qt::ControlModifier);
        const QStringList said = tested.split(u'\n');
        QCOMPARE(said.size(), 2);
        QVERIFY2(said.at(0).startsWith("更新服务 " + f.server.base()
                                       + "/version/main.txt：HTTP 200，用时")
                     && said.at(0).endsWith("毫秒，版本号V1.0（与本程序相同）"),
                 qPrintable(tested));
        QVERIFY2(said.at(1).contains("/siteall/live.com：HTTP 200")
                     && said.at(1).endsWith("找到四个收录数量：百度5，Google 6，360 7，Sogou 8"),
                 qPrintable(tested));

        QCOMPARE(ServiceSettings::load(file).statsBase, f.server.base());
        QCOMPARE(f.fake.log.filter("warning").size(), 0); // saved and ready: nothing to say
        QCOMPARE(f.form->windowTitle(), "Varnel网站收录批量查询器");
        QVERIFY(!sample.running());
        QVERIFY(f.button("Command2")->isEnabled()); // checked again against the new server
        QVERIFY(!f.menu(f.list()).contains("打开示例域名列表"));
        f.importLines({ "live.com", "live.com" });
        f.click("Command2");
        QCOMPARE(f.rowTexts(0), QStringList({ "1", "live.com", "5", "6", "7", "8" }));

        f.fake.onOpen = [&](QDialog &dialog) {
            const QPushButton *apply
                = In<QDialogButtonBox>(dialog, "buttons")->button(QDialogButtonBox::Ok);
            QVERIFY(!apply->isEnabled());
            tested = apply->text();
        };
        f.form->openServiceSettings();
        QCOMPARE(tested, "应用（查询进行中，结束后才能应用）");
        StepRunToItsEnd(*f.form);
        f.form.reset();
        QCOMPARE(AskSqlite(build.historyFile, "SELECT count(*) FROM records").toInt(), 2);
        QCOMPARE(AskSqlite(build.historyFile, "SELECT service FROM runs").toString(),
                 f.server.base() + "/siteall/");
    }

    // The command line wins for the start it names, and the dialog says so. A manual proxy is
    // asked for every address; 不使用代理 passes by the proxy the environment names.
    void commandLineAndProxies()
    {
        QTemporaryDir data;
        platform::LoopbackService sample;
        ScriptedHttpServer proxy;
        AppSettings build = AppSettings::onHost("http://127.0.0.1:9");
        build.programDir = data.path();
        const QString named = "http://127.0.0.1:1";
        ServiceSwitch services({ build, named, {}, {}, data.filePath("settings.conf") }, sample);
        QCOMPARE(services.ready(services.saved()).statsBase, named + "/siteall/");
        Form1Fixture f(true, {}, {}, &services);
        f.serveVersionFile("kwtp:V1.0|");
        const QByteArray dead = "http://127.0.0.1:9";
        qputenv("http_proxy", dead);
        qputenv("no_proxy", "127.0.0.1"); // the manual proxy is used all the same
        QString tested[2];
        int test = 0;
        f.fake.onOpen = [&](QDialog &dialog) {
            QCOMPARE(In<QLabel>(dialog, "statsNote")->text(),
                     "本次启动由命令行指定：" + named + "（这里保存的地址下次启动时生效）");
            QCOMPARE(In<QLabel>(dialog, "updateNote")->text(), "留空：使用http://127.0.0.1:9");
            In<QLineEdit>(dialog, "updateUrl")->setText(f.server.base());
            In<QRadioButton>(dialog, "proxyManual")->setChecked(true);
            In<QLineEdit>(dialog, "proxyHost")->setText("127.0.0.1");
            In<QSpinBox>(dialog, "proxyPort")->setValue(QUrl(proxy.base()).port());
            Press(dialog, "testConnection");
            tested[test++] = In<QLabel>(dialog, "testResult")->text().section(u'\n', 0, 0);
            In<QRadioButton>(dialog, "proxyNone")->setChecked(true);
            Press(dialog, "testConnection");
            tested[test++] = In<QLabel>(dialog, "testResult")->text().section(u'\n', 0, 0);
        };
        f.form->openServiceSettings();
        qunsetenv("http_proxy");
        qunsetenv("no_proxy");
        // Both services asked through it, by their full addresses.
        QCOMPARE(proxy.requests.size(), 2);
        QVERIFY(std::any_of(proxy.requests.begin(), proxy.requests.end(), [&](const QByteArray &r) {
            return r.startsWith("GET " + f.server.base().toUtf8() + "/version/main.txt HTTP/1.1");
        }));
        QVERIFY(std::any_of(proxy.requests.begin(), proxy.requests.end(), [&](const QByteArray &r) {
            return r.startsWith("GET " + named.toUtf8() + "/siteall/");
        }));
        QVERIFY2(tested[0].contains("：HTTP 404，"), qPrintable(tested[0])); // the proxy's answer
        QVERIFY2(tested[1].endsWith("版本号V1.0（与本程序相同）"), qPrintable(tested[1]));
    }

    // The batch mode asks the services the user set in the window.
    void batchReadsTheSameSettings()
    {
        QTemporaryDir data;
        ScriptedHttpServer server;
        server.setReply("/version/main.txt", { 200, "kwtp:V1.0|" });
        server.setReply("/siteall/a.com",
                        { 200, standin::StatisticsPage("a.com", { "1", "2", "3", "4" }) });
        ServiceSettings settings;
        settings.statsBase = settings.updateBase = server.base();
        settings.proxy = ServiceSettings::Proxy::None;
        QVERIFY(settings.save(data.filePath("Varnel/varnel-index-query.conf")));
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", data.path());
        environment.insert("http_proxy", "http://127.0.0.1:9"); // passed by, as set
        program.setProcessEnvironment(environment);
        program.start(
            PROGRAM_DIR "/varnel-index-query",
            { "--batch", WriteFile(data.filePath("list.txt"), "a.com\n"), "--no-history" });
        QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 60'000);
        const QByteArray out = program.readAllStandardOutput();
        QVERIFY2(program.exitCode() == 0 && out.contains("a.com,1,2,3,4"), out.constData());
    }

    // Saved through a new file renamed over the old one, never written in place: a reader of the
    // old file meanwhile, like a crash mid-write, finds the old settings whole; nothing is left
    // beside it.
    void savedWhole()
    {
        QTemporaryDir data;
        const QString file = data.filePath("settings.conf");
        ServiceSettings settings;
        settings.statsBase = "http://s0.example";
        QVERIFY(settings.save(file));
        QFile old(file);
        QVERIFY(old.open(QIODevice::ReadOnly));
        settings.statsBase = "http://s1.example";
        settings.proxy = ServiceSettings::Proxy::None;
        QVERIFY(settings.save(file));
        QVERIFY(old.readAll().contains("s0.example"));
        QCOMPARE(ServiceSettings::load(file).statsBase, "http://s1.example");
        QCOMPARE(ServiceSettings::load(file).proxy, ServiceSettings::Proxy::None);
        settings = { {}, {}, ServiceSettings::Proxy::Manual, "proxy.example", 65535 };
        QVERIFY2(settings.problem().isEmpty(), qPrintable(settings.problem())); // ports 1 to 65535
        QCOMPARE(QDir(data.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList { "settings.conf" });
    }
};

QTEST_MAIN(TestServices)
#include "tst_services.moc"
