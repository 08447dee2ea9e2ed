#include "DomainFile.h"

#include "DomainEntries.h"
#include "ListBox.h"

#include <QBuffer>
#include <QFile>
#include <QStringDecoder>

#include <climits>

namespace {

// The length of one line in characters: UTF-8 when it is valid UTF-8, otherwise GB18030, as
// whole files are read.
qsizetype CharacterCount(const QByteArray &line)
{
    if (line.size() <= kMaxEntryLength)
        return line.size(); // no encoding has fewer bytes than characters
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(line);
    if (!utf8.hasError())
        return text.size();
    QStringDecoder gb18030("GB18030");
    return QString(gb18030.decode(line)).size();
}

// Cuts a byte stream into lines. CR and LF are single bytes in UTF-8 and in GB18030 alike (no
// multi-byte character contains them), so lines can be cut before the text is decoded. Once the
// entry limit is reached, further lines are only counted, so even a huge file costs no memory.
class LineCutter
{
public:
    explicit LineCutter(int maxEntries)
        : m_maxEntries(maxEntries)
    {
    }

    void feed(QByteArrayView chunk)
    {
        qsizetype start = 0;
        for (qsizetype i = 0; i < chunk.size(); ++i) {
            const char c = chunk[i];
            if (c != '\r' && c != '\n')
                continue;
            if (c == '\n' && i == 0 && m_afterCr) { // the LF of a CR LF split across chunks
                start = 1;
                m_afterCr = false;
                continue;
            }
            take(chunk.sliced(start, i - start));
            endLine();
            m_afterCr = c == '\r' && i + 1 == chunk.size();
            if (c == '\r' && i + 1 < chunk.size() && chunk[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        if (start < chunk.size()) {
            take(chunk.sliced(start));
            m_afterCr = false;
        }
    }

    // The last line needs no line break.
    void finish()
    {
        if (!m_partial.isEmpty() || m_partialHasText)
            endLine();
    }

    QList<QByteArray> lines;
    int leftOut = 0;
    int tooLong = 0;

private:
    // No encoding the file may be in takes more than four bytes for a character: longer lines
    // are dropped unread, shorter ones measured in characters.
    static constexpr qsizetype kMaxEntryBytes = 4 * qsizetype(kMaxEntryLength);

    bool full() const { return m_kept >= m_maxEntries; }

    void take(QByteArrayView piece)
    {
        if (piece.isEmpty())
            return;
        m_partialHasText = true;
        m_partialBytes += piece.size();
        if (m_partialBytes > kMaxEntryBytes)
            m_partial.clear(); // too long to be kept: stop holding it
        else if (!full())
            m_partial.append(piece);
    }

    void endLine()
    {
        if (full())
            leftOut += m_partialHasText ? 1 : 0;
        else if (m_partialBytes > kMaxEntryBytes || CharacterCount(m_partial) > kMaxEntryLength)
            ++tooLong;
        else {
            m_kept += m_partialHasText ? 1 : 0;
            lines << m_partial;
        }
        m_partial.clear();
        m_partialBytes = 0;
        m_partialHasText = false;
    }

    int m_maxEntries;
    int m_kept = 0;
    QByteArray m_partial;
    qsizetype m_partialBytes = 0;
    bool m_partialHasText = false;
    bool m_afterCr = false;
};

QStringList DecodeLines(QList<QByteArray> lines)
{
    if (!lines.isEmpty() && lines.first().startsWith("\xEF\xBB\xBF"))
        lines.first().remove(0, 3);
    const QByteArray joined = lines.join('\n');
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(joined);
    if (utf8.hasError()) {
        QStringDecoder gb18030("GB18030");
        text = gb18030.decode(joined);
    }
    return lines.isEmpty() ? QStringList() : text.split(u'\n');
}

} // namespace

DomainFileLines ReadDomainLines(QIODevice &device, int maxEntries)
{
    DomainFileLines result;
    LineCutter cutter(maxEntries);
    char buffer[64 * 1024];
    for (;;) {
        const qint64 got = device.read(buffer, sizeof buffer);
        if (got < 0) {
            // Keep only whole lines: a broken-off last line could also split a character.
            result.readFailed = true;
            break;
        }
        if (got == 0) {
            cutter.finish();
            break;
        }
        cutter.feed(QByteArrayView(buffer, got));
    }
    result.lines = DecodeLines(cutter.lines);
    result.leftOut = cutter.leftOut;
    result.tooLong = cutter.tooLong;
    return result;
}

QStringList SplitDomainFile(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ReadDomainLines(buffer, INT_MAX).lines;
}

bool DomainFileReadable(const QString &path)
{
    QFile file(path);
    return !path.isEmpty() && file.open(QIODevice::ReadOnly);
}

DomainFileLines ReadLinesToList(platform::ListBox *list, const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    DomainFileLines result = ReadDomainLines(file, kMaxListEntries);
    file.close();
    list->addItems(result.lines);
    return result;
}
