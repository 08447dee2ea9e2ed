#include "BatchRun.h"
#include "Form1Fixture.h"

#include <QFile>
#include <QtTest>
#include <csignal>

// The batch mode, run in this process against the scripted loopback server: the gate, rows and
// statuses, the file written row by row, resume and interruption; its CSV byte for byte, as the
// window's export is checked.
class TestBatch : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<Form1Fixture>(false);
        f->serveVersionFile("kwtp:V1.0|");
        f->serveCounts("a.com", { "12,300", "-7", "", "=1+1" });
        f->serveCounts("c.com", { "1", "2", "3", "4" });
        list = f->writeFile("list.txt", "http://www.a.com\nbad\nfail.com\nc.com\n");
    }

    void rowsAndStatuses()
    {
        QCOMPARE(batch({}), int(kBatchSomeFailed));
        QCOMPARE(csv,
                 QString("\xEF\xBB\xBF"
                         "编号,域名,百度,Google,360,Sogou\r\n"
                         "1,a.com,\"12,300\",-7,0,'=1+1\r\n2,fail.com,,,,\r\n3,c.com,1,2,3,4\r\n"));
        QCOMPARE(
            messages,
            QStringList({ "1 a.com 12,300 -7 0 =1+1", "跳过：bad（域名不正确）", "2 fail.com 失败",
                          "3 c.com 1 2 3 4", "共查询3个域名：有结果2个，失败1个，跳过1个" }));
        f->serveCounts("fail.com", { "0", "0", "0", "0" });
        QCOMPARE(batch({}), int(kBatchAllCounted));

        QCOMPARE(batch({}, f->dir.filePath("missing.txt")), int(kBatchListUnreadable));
        QCOMPARE(batch({}, "/dev/zero"), int(kBatchListUnreadable));
        QVERIFY(csv.isEmpty());
    }

    void theGate()
    {
        for (const QByteArray &version :
             { QByteArray("kwtp:V2.0|"), QByteArray("<html>502</html>") }) {
            f->serveVersionFile(version);
            QCOMPARE(batch({}), int(kBatchUpdateCheck));
            QCOMPARE(messages.size(), 1);
            QVERIFY(!Asked("/siteall/"));
        }
    }

    // Each row is on disk as soon as it is made; an interrupted run resumes where it stopped,
    // with each domain once and numbering on, the header once.
    void outputInterruptedAndResumed()
    {
        const QString out = f->dir.filePath("out.csv");
        f->serveCounts("c.com", { "1", "2", "3", "4" }, ScriptedHttpServer::Mode::Held);
        QString onDiskMeanwhile;
        f->onRequest("c.com", [&] {
            QFile file(out);
            file.open(QIODevice::ReadOnly);
            onDiskMeanwhile = QString::fromUtf8(file.readAll());
            std::raise(SIGINT); // Ctrl+C: the query under way ends, no further one starts
            f->server.release();
        });
        f->serveCounts("d.com", { "5", "5", "5", "5" });
        list = f->writeFile("list.txt", "a.com\nfail.com\nc.com\nd.com\n");
        QCOMPARE(batch({ out }), 128 + SIGINT);
        QCOMPARE(onDiskMeanwhile.count("\r\n"), 3); // header, a.com, fail.com
        QVERIFY(!Asked("d.com"));

        f->serveCounts("fail.com", { "9", "9", "9", "9" });
        f->serveCounts("c.com", { "1", "2", "3", "4" });
        QCOMPARE(batch({ out, true }), int(kBatchAllCounted));
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(
            QString::fromUtf8(file.readAll()),
            QString(
                "\xEF\xBB\xBF"
                "编号,域名,百度,Google,360,Sogou\r\n1,a.com,\"12,300\",-7,0,'=1+1\r\n"
                "2,fail.com,,,,\r\n3,c.com,1,2,3,4\r\n4,fail.com,9,9,9,9\r\n5,d.com,5,5,5,5\r\n"));

        const QString other
            = f->writeFile("other.csv", QByteArray("\xEF\xBB\xBF") + "a,b\r\n\"broken\r\n");
        QCOMPARE(batch({ other, true }), int(kBatchUsage));
        QFile kept(other);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QVERIFY(kept.readAll().endsWith("\"broken\r\n")); // nothing rewritten
    }

private:
    struct Target
    {
        QString output;
        bool resume = false;
    };
    int batch(const Target &target, const QString &path = {})
    {
        BatchOptions options;
        options.list = path.isEmpty() ? list : path;
        options.paceMs = 1; // the command line keeps its 2 s minimum
        options.output = target.output;
        options.resume = target.resume;
        FILE *out = std::tmpfile();
        FILE *err = std::tmpfile();
        const int status = RunBatch(options, f->settings, out, err);
        csv = QString::fromUtf8(Read(out));
        messages = QString::fromUtf8(Read(err)).split(u'\n', Qt::SkipEmptyParts);
        return status;
    }
    bool Asked(const char *part) const
    {
        for (const QByteArray &request : f->server.requests) {
            if (request.contains(part))
                return true;
        }
        return false;
    }
    static QByteArray Read(FILE *file)
    {
        std::rewind(file);
        QByteArray bytes;
        char buffer[4096];
        while (const size_t got = std::fread(buffer, 1, sizeof buffer, file))
            bytes.append(buffer, qsizetype(got));
        std::fclose(file);
        return bytes;
    }

    std::unique_ptr<Form1Fixture> f;
    QString list;
    QString csv;
    QStringList messages;
};

QTEST_MAIN(TestBatch)
#include "tst_batch.moc"
