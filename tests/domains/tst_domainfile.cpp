#include "DomainEntries.h"
#include "DomainFile.h"

#include <QBuffer>
#include <QStringEncoder>
#include <QtTest>

namespace {

// A device that hands out its bytes a few at a time, and then fails if asked to, as a file on
// a failing disk does.
class TrickleDevice : public QIODevice
{
public:
    TrickleDevice(QByteArray bytes, int chunk, bool failAtEnd)
        : m_bytes(std::move(bytes))
        , m_chunk(chunk)
        , m_failAtEnd(failAtEnd)
    {
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_pos >= m_bytes.size())
            return m_failAtEnd ? -1 : 0;
        const qint64 n = std::min<qint64>({ maxSize, m_chunk, m_bytes.size() - m_pos });
        memcpy(data, m_bytes.constData() + m_pos, n);
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_chunk;
    bool m_failAtEnd;
    qint64 m_pos = 0;
};

} // namespace

class TestDomainFile : public QObject
{
    Q_OBJECT

private slots:
    void linesEndAtCrLfCrAndLf_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        const QStringList three { "a.com", "", "b.cn" };
        QTest::newRow("CR LF") << QByteArray("a.com\r\n\r\nb.cn\r\n") << three;
        QTest::newRow("lone CR") << QByteArray("a.com\r\rb.cn\r") << three;
        QTest::newRow("lone LF") << QByteArray("a.com\n\nb.cn\n") << three;
        QTest::newRow("mixed, no final break") << QByteArray("a.com\r\n\nb.cn") << three;
        QTest::newRow("LF CR is two breaks") << QByteArray("a.com\n\rb.cn") << three;
        QTest::newRow("empty file") << QByteArray() << QStringList {};
        QTest::newRow("one break") << QByteArray("\r\n") << QStringList { "" };
        QTest::newRow("blanks kept") << QByteArray(" \t \n") << QStringList { " \t " };
    }
    void linesEndAtCrLfCrAndLf()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(SplitDomainFile(bytes), lines);
        // Line breaks split across reads, CR LF included, end lines just the same.
        for (int chunk = 1; chunk <= 8; ++chunk) {
            TrickleDevice device(bytes, chunk, false);
            QCOMPARE(ReadDomainLines(device, kMaxListEntries).lines, lines);
        }
    }

    void gbkAndUtf8GiveTheSameText()
    {
        const QString text = QStringLiteral("例子.com\r\n中文域名.cn\r\n");
        QStringEncoder toGbk("GB18030");
        QVERIFY(toGbk.isValid());
        const QByteArray gbk = toGbk.encode(text);
        QVERIFY(gbk != text.toUtf8());

        const QStringList expected { "例子.com", "中文域名.cn" };
        QCOMPARE(SplitDomainFile(gbk), expected);
        QCOMPARE(SplitDomainFile(text.toUtf8()), expected);
    }

    void utf8ByteOrderMarkIsDropped()
    {
        QCOMPARE(SplitDomainFile("\xEF\xBB\xBF"
                                 "example.com\r\nexample.cn"),
                 QStringList({ "example.com", "example.cn" }));
    }

    void readFailureKeepsTheWholeLinesReadBefore()
    {
        TrickleDevice device("one.com\r\ntwo.com\r\nthree.c", 7, true);
        const DomainFileLines read = ReadDomainLines(device, kMaxListEntries);
        QVERIFY(read.readFailed);
        QCOMPARE(read.lines, QStringList({ "one.com", "two.com" }));
    }

    void entriesPastTheLimitAreCounted()
    {
        QBuffer buffer;
        buffer.setData("a.com\n\nb.com\n\nc.com\nd.com\n\ne.com");
        buffer.open(QIODevice::ReadOnly);
        const DomainFileLines read = ReadDomainLines(buffer, 2);
        QCOMPARE(read.lines, QStringList({ "a.com", "", "b.com" }));
        QCOMPARE(read.leftOut, 3);
        QCOMPARE(read.tooLong, 0);
        QVERIFY(!read.readFailed);
    }

    // Lines no domain could fill are counted, not kept, measured in characters; they take no
    // place in the list.
    void overlongLinesAreCountedNotKept()
    {
        const QByteArray longest(kMaxEntryLength, 'a');
        const QByteArray chinese = QString(kMaxEntryLength, QChar(0x4E2D)).toUtf8(); // 3 bytes each
        QByteArray bytes = longest + "\n" + longest + "b\n" + chinese + "\n" + chinese + "x\n";
        bytes += QByteArray(1 << 20, 'c') + "\nlast.com";
        TrickleDevice device(bytes, 4096, false);
        const DomainFileLines read = ReadDomainLines(device, 2);
        QCOMPARE(read.lines, QStringList({ longest, QString::fromUtf8(chinese) }));
        QCOMPARE(read.tooLong, 1);
        QCOMPARE(read.leftOut, 3); // past the limit, long or not
    }
};

QTEST_APPLESS_MAIN(TestDomainFile)
#include "tst_domainfile.moc"
