#include "Form1Fixture.h"
#include "StatusBar.h"
#include "VersionText.h"

#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void skinIsAttachedOnceBeforeTheWindowShows_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::newRow("plain") << "/opt/varnel";
        QTest::newRow("ends in a separator") << "/opt/varnel/";
    }
    void skinIsAttachedOnceBeforeTheWindowShows()
    {
        QFETCH(QString, directory);
        Form1Fixture f(false, directory);
        f.serveVersionFile("kwtp:V1.0|");
        bool visibleAtSkin = true;
        f.fake.skin.onAttach = [&] { visibleAtSkin = f.form->isVisible(); };

        f.form->Load();

        QCOMPARE(f.fake.skin.paths, QStringList({ directory + "/skinh.she" }));
        QCOMPARE(f.fake.skin.passwords, QStringList({ QString() }));
        QVERIFY(!visibleAtSkin);
        QVERIFY(f.form->isVisible());
        QVERIFY(f.form->windowIcon().isNull());
        QCOMPARE(f.status()->panelText(3), QString("V1.0.0"));
        // The window is wider than the test screen: it is placed with its title bar on screen.
        const QRect available = f.form->screen()->availableGeometry();
        QVERIFY(f.form->frameGeometry().width() > available.width());
        QVERIFY(available.contains(f.form->frameGeometry().topLeft()));
        // Every control reached by keyboard has a name to be read out.
        for (const QWidget *w : f.form->findChildren<QWidget *>()) {
            const auto *button = qobject_cast<const QAbstractButton *>(w);
            if (w->focusPolicy() != Qt::NoFocus && !(button && !button->text().isEmpty()))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
    }

    void versionText()
    {
        QCOMPARE(VersionText(1, 0, 0), QString("V1.0.0"));
        QCOMPARE(VersionText(2, 10, 3), QString("V2.10.3"));
    }

    void matchingVersionEnablesTheBatchRun_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("bare") << QByteArray("kwtp:V1.0|");
        QTest::newRow("surrounded") << QByteArray("# feed\nname=x\nkwtp:V1.0|\nother:V9|\n");
    }
    void matchingVersionEnablesTheBatchRun()
    {
        QFETCH(QByteArray, body);
        Form1Fixture f(false);
        f.serveVersionFile(body);
        QVERIFY(!f.button("Command2")->isEnabled());
        QCOMPARE(f.status()->panelText(2), QString("正在检测程序最新版本.."));

        f.form->Load();

        QVERIFY(f.button("Command2")->isEnabled());
        QCOMPARE(f.status()->panelText(2), QString("欢迎使用Varnel系列软件"));
        QVERIFY(f.fake.boxes.shown.isEmpty());
        QCOMPARE(f.fake.exit.calls, 0);
        QCOMPARE(f.server.requests.size(), 1);
        QCOMPARE(f.server.requests.first().path, QByteArray("/version/main.txt"));
    }

    void otherVersionOpensTheForumAndEnds_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("shown");
        QTest::newRow("newer") << QByteArray("kwtp:V1.1|") << "V1.1";
        QTest::newRow("older") << QByteArray("kwtp:V0.9|") << "V0.9";
        QTest::newRow("trailing blank") << QByteArray("kwtp:V1.0 |") << "V1.0 ";
        QTest::newRow("lower case") << QByteArray("kwtp:v1.0|") << "v1.0";
    }
    void otherVersionOpensTheForumAndEnds()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, shown);
        Form1Fixture f(false);
        f.serveVersionFile(body);
        f.fake.processes.opens = false; // no browser: the address is shown before the end
        int boxesAtTheEnd = -1;
        f.fake.exit.onEnd = [&] { boxesAtTheEnd = int(f.fake.boxes.shown.size()); };

        f.form->Load();

        QCOMPARE(boxesAtTheEnd, 2);
        QCOMPARE(f.fake.boxes.shown.last().text.right(f.settings.forumUrl.size() + 2),
                 "\r\n" + f.settings.forumUrl);
        QCOMPARE(f.fake.boxes.shown.last().icon, platform::BoxIcon::Information);
        QCOMPARE(f.fake.boxes.shown.first().text,
                 QString("发现最新版本![" + shown + "]\r\n \r\n确定后自动打开官方论坛!"));
        QCOMPARE(f.fake.boxes.shown.first().icon, platform::BoxIcon::Information);
        QCOMPARE(f.fake.boxes.shown.first().title, QString("Varnel系列软件"));
        QCOMPARE(f.fake.processes.started, QStringList({ "explorer.exe " + f.settings.forumUrl }));
        QCOMPARE(f.fake.exit.calls, 1);
        QVERIFY(!f.button("Command2")->isEnabled());
    }

    void failedCheckWarnsAndKeepsTheBatchRunDisabled_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("empty body") << true << QByteArray();
        QTest::newRow("server unreachable") << false << QByteArray();
        QTest::newRow("error page without key") << true << QByteArray("<html>bad gateway</html>");
        QTest::newRow("key without bar") << true << QByteArray("kwtp:V1.0");
        QTest::newRow("second key first") << true << QByteArray("kwtp:V1.0kwtp:V1.0|");
        QTest::newRow("empty version") << true << QByteArray("kwtp:|");
    }
    void failedCheckWarnsAndKeepsTheBatchRunDisabled()
    {
        QFETCH(bool, reachable);
        QFETCH(QByteArray, body);
        Form1Fixture f(false);
        f.serveVersionFile(body);
        if (!reachable)
            f.server.close();

        f.form->Load();

        QCOMPARE(f.fake.boxes.shown.size(), 1);
        QCOMPARE(f.fake.boxes.shown.first().text,
                 QString("检测更新失败!请您稍后再试,暂时使用原版"));
        QCOMPARE(f.fake.boxes.shown.first().icon, platform::BoxIcon::Warning);
        QCOMPARE(f.fake.boxes.shown.first().title, QString("Varnel系列软件"));
        QVERIFY(!f.button("Command2")->isEnabled());
        QCOMPARE(f.status()->panelText(2), QString("正在检测程序最新版本.."));
        QCOMPARE(f.fake.exit.calls, 0);
        QVERIFY(f.fake.processes.started.isEmpty());
    }

    void windowClosedDuringTheCheckShowsNothingMore()
    {
        Form1Fixture f(false);
        f.serveVersionFile("kwtp:V2.0|", 400);
        QTimer::singleShot(100, f.form.get(), [&] { f.form->close(); });

        f.form->Load();

        QVERIFY(f.fake.boxes.shown.isEmpty());
        QVERIFY(f.fake.processes.started.isEmpty());
        QCOMPARE(f.fake.exit.calls, 0);
        QVERIFY(!f.button("Command2")->isEnabled());
    }

    void windowStaysLiveDuringTheCheck()
    {
        Form1Fixture f(false);
        f.serveVersionFile("kwtp:V1.0|", 400);
        QTimer::singleShot(100, f.form.get(), [&] { f.click("Command3"); });

        f.form->Load();

        QCOMPARE(f.fake.processes.started, QStringList({ "explorer.exe " + f.settings.forumUrl }));
        QVERIFY(f.button("Command2")->isEnabled());
    }

    void linkButtonsOpenTheirSites()
    {
        Form1Fixture f;
        f.click("Command3");
        f.click("Command4");
        f.click("Command5");
        f.click("Command3");
        const QString host = f.server.base();
        QCOMPARE(f.fake.processes.started,
                 QStringList({ "explorer.exe " + host, "explorer.exe " + host,
                               "explorer.exe " + host, "explorer.exe " + host }));
    }

    void columnWidthsAreLocked()
    {
        Form1Fixture f(false);
        f.serveVersionFile("kwtp:V1.0|");
        f.form->Load();
        QHeaderView *header = f.table()->header();
        QWidget *viewport = header->viewport();
        QList<int> widths;
        for (int i = 0; i < 6; ++i)
            widths << header->sectionSize(i);
        const int divider = header->sectionViewportPosition(1) + header->sectionSize(1);
        const int y = header->height() / 2;

        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(divider, y));
        QTest::mouseMove(viewport, QPoint(divider + 80, y));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(divider + 80, y));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(divider, y));
        for (int i = 0; i < 6; ++i)
            QCOMPARE(header->sectionSize(i), widths.at(i));

        QSignalSpy clicks(header, &QHeaderView::sectionClicked);
        QTest::mouseClick(viewport, Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 30, y));
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.first().first().toInt(), 2);
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
