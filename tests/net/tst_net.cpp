#include "HttpGetText.h"
#include "HttpRules.h"
#include "ScriptedHttpServer.h"

#include <QtTest>

using Failure = net::HttpRequest::Failure;

using Mode = ScriptedHttpServer::Mode;

// "<td>ok</td>" twenty times, as gzip writes it.
const QByteArray kGzipped = QByteArray::fromRawData(
    "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\xb3\x29\x49\xb1\xcb\xcf\xb6\xd1\x07\x52\x36"
    "\xc3\x8d\x09\x00\x5b\x6d\x69\x9f\xdc\x00\x00\x00",
    33);

class TestNet : public QObject
{
    Q_OBJECT

private slots:

    // A GET with "If-Modified-Since: 0"; redirects followed up to the limit (never to an address
    // with a user), each hop's body dropped; compressed bodies unpacked; interim answers skipped;
    // the body of any status is the page.
    void requestAndDecoding()
    {
        server.setReply("/moved", { 301, "moved here", Mode::Normal, "/siteall/example.com" });
        server.setReply("/siteall/example.com", { 200, "ok" });
        QCOMPARE(HttpGetText(server.base() + "/moved").text, QString("ok"));
        QVERIFY(server.requests.last().startsWith("GET /siteall/example.com HTTP/1.1\r\n"));
        QVERIFY(server.requests.last().contains("\r\nIf-Modified-Since: 0"));

        const int hops = 10; // followed; one more is not
        for (int i = 0; i <= hops; ++i)
            server.setReply("/r" + QByteArray::number(i),
                            { 302, "r" + QByteArray::number(i), Mode::Normal,
                              "/r" + QByteArray::number(i + 1) });
        server.setReply("/r" + QByteArray::number(hops + 1), { 200, "end" });
        QCOMPARE(HttpGetText(server.base() + "/r1").text, QString("end"));
        QCOMPARE(HttpGetText(server.base() + "/r0").text, "r" + QString::number(hops));
        const QByteArray withUser = "http://u:p@" + QUrl(server.base()).authority().toLatin1();
        server.setReply("/user", { 302, "not followed", Mode::Normal, withUser + "/moved" });
        QCOMPARE(HttpGetText(server.base() + "/user").text, QString("not followed"));

        const QByteArray page = QByteArray("<td>收录数量</td>").repeated(200);
        const QByteArray ok = "HTTP/1.1 200 OK\r\n";
        QCOMPARE(raw(ok + "Content-Encoding: deflate\r\nConnection: close\r\n\r\n"
                     + qCompress(page).mid(4)),
                 QString::fromUtf8(page));
        QCOMPARE(raw(ok + "Content-Encoding: gzip\r\nConnection: close\r\n\r\n" + kGzipped),
                 QString("<td>ok</td>").repeated(20));
        QCOMPARE(raw(ok + "Content-Encoding: gzip\r\nContent-Length: 0\r\n\r\n"), QString());
        // Every answer's body counts, whatever its status; a byte-order mark is not text.
        for (const QByteArray status : { "404 Not Found", "500 Oops", "407 Proxy", "302 Found" })
            QCOMPARE(raw("HTTP/1.1 " + status + "\r\nContent-Length: 5\r\n\r\n\xEF\xBB\xBFok"),
                     QString("ok"));
        QCOMPARE(raw("HTTP/1.1 103 Early Hints\r\nContent-Length: 5\r\n\r\n" + ok
                     + "Content-Length: 2\r\n\r\nok"),
                 QString("ok")); // the interim answer skipped
    }

    // Transport failures are failures of their kind, never pages: no answer in time, a connection
    // closed mid-body, a body over the cap (plain or chunked; one at the cap is a page), nobody
    // listening, an address that is none.
    void transportFailuresAreErrors()
    {
        const std::tuple<Mode, qint64, Failure> cases[] = {
            { Mode::NoAnswer, 1 << 20, Failure::TimedOut },
            { Mode::CloseMidBody, 1 << 20, Failure::Broken },
            { Mode::Normal, 1024, Failure::Broken },
            { Mode::Chunked, 1024, Failure::Broken },
        };
        for (const auto &[mode, cap, kind] : cases) {
            server.setReply("/bad", { 200, QByteArray(4000, 'x'), mode });
            const FetchResult result = HttpGetText(server.base() + "/bad", { 300, cap, false, {} });
            QVERIFY(result.failed() && result.text.isEmpty());
            QCOMPARE(result.failure, kind);
            if (cap == 1024)
                QCOMPARE(HttpGetText(server.base() + "/bad", { 300, 4000, false, {} }).text.size(),
                         4000);
        }
        for (const char *nobody : { "not a url", "http://127.0.0.1:9/" })
            QCOMPARE(HttpGetText(nobody).failure, Failure::NoConnection);
    }

    // Answers that broke on the way are failures, not pages: a body that does not decompress
    // (corrupt, with garbage after it, unpacking past the cap, truncated), a bad chunk size, a body
    // shorter than its length, two different lengths. An interim answer alone is no answer.
    void brokenAnswers()
    {
        const QByteArray packed = qCompress(QByteArray("<td>收录数量</td>").repeated(200)).mid(4);
        const QByteArray bomb = qCompress(QByteArray(16 * 1024 * 1024 + 1, 0)).mid(4);
        const QByteArray ok = "HTTP/1.1 200 OK\r\n", deflate = ok + "Content-Encoding: deflate\r\n";
        const QByteArray answers[] = {
            deflate + "Content-Length: 12\r\n\r\n" + QByteArray("\x78\x9c garbage!!"),
            deflate + "Content-Length: " + QByteArray::number(packed.size() + 4) + "\r\n\r\n"
                + packed + "junk",
            deflate + "Content-Length: " + QByteArray::number(bomb.size()) + "\r\n\r\n" + bomb,
            ok + "Content-Encoding: gzip\r\nContent-Length: 20\r\n\r\n" + kGzipped.left(20),
            deflate + "Content-Length: 20\r\n\r\n" + packed.left(20),
            ok + "Transfer-Encoding: chunked\r\n\r\nzz\r\nabc\r\n0\r\n\r\n",
            "HTTP/1.1 103 Early Hints\r\nContent-Length: 0\r\n\r\n",
            ok + "Content-Length: 10\r\n\r\nhel",
            ok + "Content-Length: 5\r\nContent-Length: 7\r\n\r\nhello",
            ok + "Content-Length: 7, 5\r\n\r\nhello",
        };
        for (const QByteArray &answer : answers) {
            // The line stays open: two lengths are broken as soon as the headers end.
            const bool open = answer.endsWith("\r\n\r\nhello");
            server.setReply("/raw", { 200, answer, Mode::Raw, {}, 0, open });
            const FetchResult result = HttpGetText(server.base() + "/raw");
            QVERIFY2(result.failed() && result.text.isEmpty(), answer.left(70).constData());
            QCOMPARE(result.failure, Failure::Broken);
        }
    }

    void answerRules()
    {
        QVERIFY(net::BrokenAnswer({}).isEmpty());
        QVERIFY(net::BrokenAnswer("5, 5").isEmpty());
        for (const char *length : { "5, 7", "abc", "-5", "" })
            QVERIFY2(!net::BrokenAnswer(length).isEmpty(), length);
        const QUrl https("https://a.example/"), http("http://a.example/");
        QVERIFY(net::RedirectAllowed(http, https));
        QVERIFY(net::RedirectAllowed(https, QUrl("https://b.example/x")));
        QVERIFY(net::RedirectAllowed(http, QUrl("http://b.example/x")));
        for (const QUrl &refused : { http, QUrl("ftp://b.example/"), QUrl("http://u:p@b.example/"),
                                     QUrl("http://u@b.example/") })
            QVERIFY2(!net::RedirectAllowed(http, refused), qPrintable(refused.toString()));
        QVERIFY(!net::RedirectAllowed(https, http));
    }

    // A kept-alive connection that the server closes before answering is tried once more on a
    // fresh one (past curl's own second try); one that keeps breaking, or breaks after an answer
    // began, is a failure.
    void resetBeforeTheAnswer()
    {
        server.setReply("/warm", { 200, "warm", Mode::Normal, {}, 0, true });
        QCOMPARE(HttpGetText(server.base() + "/warm").text, QString("warm"));
        server.setReply("/twice", { 200, "ok", Mode::Normal, {}, 2 });
        const FetchResult twice = HttpGetText(server.base() + "/twice");
        QVERIFY2(!twice.failed(), qPrintable(twice.error));
        QCOMPARE(twice.text, QString("ok"));
        server.requests.clear();
        server.setReply("/always", { 200, "ok", Mode::Normal, {}, 100 });
        QVERIFY(HttpGetText(server.base() + "/always").failed());
        QVERIFY(server.requests.size() <= 4);
        server.requests.clear();
        server.setReply("/mid", { 200, QByteArray(4000, 'x'), Mode::CloseMidBody });
        QVERIFY(HttpGetText(server.base() + "/mid").failed());
        QCOMPARE(server.requests.size(), 1);
    }

private:
    // The text fetched from an answer written as it is, status line and headers included; a
    // failure reads as "failed".
    QString raw(const QByteArray &answer)
    {
        server.setReply("/raw", { 200, answer, Mode::Raw });
        const FetchResult result = HttpGetText(server.base() + "/raw");
        return result.failed() ? QStringLiteral("failed") : result.text;
    }

    ScriptedHttpServer server;
};

QTEST_MAIN(TestNet)
#include "tst_net.moc"
