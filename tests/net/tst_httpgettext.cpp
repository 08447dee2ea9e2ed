#include "HttpGetText.h"
#include "ScriptedHttpServer.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

using Reply = ScriptedHttpServer::Reply;
using Mode = ScriptedHttpServer::Mode;

class TestHttpGetText : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        server = std::make_unique<ScriptedHttpServer>();
        QVERIFY(server->listen());
    }

    void returnsBodyWhateverTheStatus_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("mode");
        QTest::newRow("404 with html")
            << 404 << QByteArray("<html>没有这个页面</html>") << int(Mode::Normal);
        QTest::newRow("500 with text") << 500 << QByteArray("server broke") << int(Mode::Normal);
        for (int status : { 400, 407, 418, 302 }) // Qt files these as errors too
            QTest::addRow("%d", status)
                << status << QByteArray("<td>收录数量</td>") << int(Mode::Normal);
        QTest::newRow("200 empty") << 200 << QByteArray() << int(Mode::Normal);
        QTest::newRow("200 chunked")
            << 200 << QByteArray("<p>分块</p>").repeated(500) << int(Mode::Chunked);
        QTest::newRow("200 chinese utf-8")
            << 200 << QByteArray("<td>收录数量</td>") << int(Mode::Normal);
    }
    void returnsBodyWhateverTheStatus()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, mode);
        server->setReply("/page", { status, body, "text/html; charset=utf-8", 0, Mode(mode) });

        const FetchResult result = HttpGetText(server->base() + "/page");

        QVERIFY2(!result.failed(), qPrintable(result.error));
        QCOMPARE(result.text, QString::fromUtf8(body));
    }

    void sendsGetWithIfModifiedSinceZero()
    {
        server->setReply("/siteall/example.com", { 200, "ok" });
        server->setReply("/moved",
                         { 301, "", "text/html", 0, Mode::Normal, "/siteall/example.com" });
        QCOMPARE(HttpGetText(server->base() + "/moved").text, QString("ok"));
        server->requests.removeFirst();
        HttpGetText(server->base() + "/siteall/example.com");

        QCOMPARE(server->requests.size(), 2);
        for (const auto &request : std::as_const(server->requests)) {
            QCOMPARE(request.method, QByteArray("GET"));
            QCOMPARE(request.path, QByteArray("/siteall/example.com"));
            QCOMPARE(request.headers.value("if-modified-since"), QByteArray("0"));
        }
    }

    void decodesByByteOrderMark()
    {
        QStringEncoder toUtf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        const QByteArray utf16 = toUtf16.encode(QStringLiteral("收录数量"));
        server->setReply("/utf16", { 200, utf16 });
        server->setReply("/utf8bom", { 200, QByteArray("\xEF\xBB\xBF") + QByteArray("百度") });

        QCOMPARE(HttpGetText(server->base() + "/utf16").text, QStringLiteral("收录数量"));
        QCOMPARE(HttpGetText(server->base() + "/utf8bom").text, QStringLiteral("百度"));
    }

    void slowAnswerIsWaitedFor()
    {
        server->setReply("/slow", { 200, "late", "text/plain", 700 });
        bool ticked = false;
        QTimer::singleShot(100, [&] { ticked = true; });

        const FetchResult result = HttpGetText(server->base() + "/slow");

        QCOMPARE(result.text, QString("late"));
        QVERIFY2(ticked, "events must be handled while waiting");
    }

    void transportFailuresComeBackAsErrors_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("no answer at all") << int(Mode::NoAnswer);
        QTest::newRow("closed mid-body") << int(Mode::CloseMidBody);
    }
    void transportFailuresComeBackAsErrors()
    {
        QFETCH(int, mode);
        server->setReply("/bad", { 200, QByteArray(4000, 'x'), "text/plain", 0, Mode(mode) });

        const FetchResult result
            = HttpGetText(server->base() + "/bad", { 800, FetchLimits().bodyCap });

        QVERIFY(result.failed());
        QVERIFY(result.text.isEmpty());
    }

    void refusedConnectionIsAnError()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 closedPort = probe.serverPort();
        probe.close();

        const FetchResult result
            = HttpGetText(QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort));

        QVERIFY(result.failed());
        QVERIFY(result.text.isEmpty());
    }

    void bodyOverTheCapIsAnError()
    {
        server->setReply("/big", { 200, QByteArray(64 * 1024, 'a') });
        server->setReply("/bigchunked",
                         { 200, QByteArray(64 * 1024, 'a'), "text/plain", 0, Mode::Chunked });

        QVERIFY(HttpGetText(server->base() + "/big", { 5000, 1024 }).failed());
        QVERIFY(HttpGetText(server->base() + "/bigchunked", { 5000, 1024 }).failed());
        QVERIFY(!HttpGetText(server->base() + "/big", { 5000, 64 * 1024 }).failed());
    }

    void badUrlIsAnError()
    {
        QVERIFY(HttpGetText(QStringLiteral("not a url")).failed());
        QVERIFY(HttpGetText(QString()).failed());
    }

    // A fetch started from an event handled during another fetch's wait returns first; then
    // the outer one returns its own body, even when its own answer came earlier.
    void nestedCallsReturnInnerFirst_data()
    {
        QTest::addColumn<int>("outerDelay");
        QTest::addColumn<int>("innerDelay");
        QTest::newRow("outer answer comes last") << 600 << 100;
        QTest::newRow("outer answer comes first") << 100 << 600;
    }
    void nestedCallsReturnInnerFirst()
    {
        QFETCH(int, outerDelay);
        QFETCH(int, innerDelay);
        server->setReply("/outer", { 200, "outer body", "text/plain", outerDelay });
        server->setReply("/inner", { 200, "inner body", "text/plain", innerDelay });
        QStringList order;
        QTimer::singleShot(50, [&] {
            const FetchResult inner = HttpGetText(server->base() + "/inner");
            order << QStringLiteral("inner:") + inner.text;
        });

        const FetchResult outer = HttpGetText(server->base() + "/outer");
        order << QStringLiteral("outer:") + outer.text;

        QCOMPARE(order, QStringList({ "inner:inner body", "outer:outer body" }));
    }

private:
    std::unique_ptr<ScriptedHttpServer> server;
};

QTEST_MAIN(TestHttpGetText)
#include "tst_httpgettext.moc"
