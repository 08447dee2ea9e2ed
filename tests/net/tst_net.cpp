#include "HttpGetText.h"
#include "ScriptedHttpServer.h"

#include <QtTest>

using Mode = ScriptedHttpServer::Mode;

class TestNet : public QObject
{
    Q_OBJECT

private slots:

    // Every answer's body counts, whatever its status and however it came.
    void bodyWhateverTheStatus_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("mode");
        for (int status : { 200, 404, 500, 400, 407, 418, 302 })
            QTest::addRow("%d", status) << status << int(Mode::Normal);
        QTest::newRow("chunked") << 200 << int(Mode::Chunked);
    }
    void bodyWhateverTheStatus()
    {
        QFETCH(int, status);
        QFETCH(int, mode);
        const QByteArray body = "\xEF\xBB\xBF" + QByteArray("<td>收录数量</td>").repeated(300);
        server.setReply("/page", { status, body, 0, Mode(mode) });
        const FetchResult result = HttpGetText(server.base() + "/page");
        QVERIFY2(!result.failed(), qPrintable(result.error));
        QCOMPARE(result.text, QString::fromUtf8(body.mid(3))); // without the byte-order mark
    }

    // A GET with "If-Modified-Since: 0", redirects followed, empty bodies and byte-order marks.
    void requestAndDecoding()
    {
        server.setReply("/moved", { 301, "", 0, Mode::Normal, "/siteall/example.com" });
        server.setReply("/siteall/example.com", { 200, "ok" });
        QCOMPARE(HttpGetText(server.base() + "/moved").text, QString("ok"));
        QVERIFY(server.requests.last().startsWith("GET /siteall/example.com HTTP/1.1\r\n"));
        QVERIFY(server.requests.last().contains("\r\nIf-Modified-Since: 0"));
    }

    void transportFailuresAreErrors_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<qint64>("cap");
        QTest::newRow("no answer in time") << int(Mode::NoAnswer) << qint64(1 << 20);
        QTest::newRow("closed mid-body") << int(Mode::CloseMidBody) << qint64(1 << 20);
        QTest::newRow("body over the cap") << int(Mode::Normal) << qint64(1024);
        QTest::newRow("chunked over the cap") << int(Mode::Chunked) << qint64(1024);
    }
    void transportFailuresAreErrors()
    {
        QFETCH(int, mode);
        QFETCH(qint64, cap);
        server.setReply("/bad", { 200, QByteArray(4000, 'x'), 0, Mode(mode) });
        const FetchResult result = HttpGetText(server.base() + "/bad", { 300, cap });
        QVERIFY(result.failed());
        QVERIFY(result.text.isEmpty());
        QVERIFY(HttpGetText("not a url").failed());
    }

private:
    ScriptedHttpServer server;
};

QTEST_MAIN(TestNet)
#include "tst_net.moc"
