#include "DomainFile.h"

#include "DomainEntries.h"
#include "ListBox.h"

#include <QBuffer>
#include <QFile>
#include <QStringDecoder>

#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Decodes one line on its own: UTF-8 when it is valid UTF-8, otherwise GB18030. A line that is
// neither comes back null.
class LineDecoder
{
public:
    QString decode(QByteArrayView line)
    {
        m_utf8.resetState();
        QString text = m_utf8.decode(line);
        if (!m_utf8.hasError())
            return text;
        m_gb18030.resetState();
        text = m_gb18030.decode(line);
        return m_gb18030.hasError() ? QString() : text;
    }

private:
    QStringDecoder m_utf8 { QStringConverter::Utf8, QStringConverter::Flag::Stateless };
    QStringDecoder m_gb18030 { "GB18030", QStringConverter::Flag::Stateless };
};

// Characters as the user counts them: a character outside the BMP is one, not two.
qsizetype CharacterCount(const QString &text)
{
    qsizetype count = text.size();
    for (QChar c : text)
        count -= c.isLowSurrogate() ? 1 : 0;
    return count;
}

// Where the next CR or LF lies in `chunk` from `from`, or its size: searched with memchr, so that
// a huge line (a file of zeros) is skipped at memory speed.
qsizetype NextLineBreak(QByteArrayView chunk, qsizetype from)
{
    const char *begin = chunk.data() + from;
    const size_t left = size_t(chunk.size() - from);
    const void *lf = std::memchr(begin, '\n', left);
    const size_t beforeLf = lf ? size_t(static_cast<const char *>(lf) - begin) : left;
    const void *cr = std::memchr(begin, '\r', beforeLf);
    const void *first = cr ? cr : lf;
    return first ? static_cast<const char *>(first) - chunk.data() : chunk.size();
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
            i = NextLineBreak(chunk, i);
            if (i == chunk.size())
                break;
            const char c = chunk[i];
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
        if (m_partialBytes > 0)
            endLine();
    }

    DomainFileLines result;

private:
    // No encoding the file may be in takes more than four bytes for a character: longer lines
    // are dropped unread, shorter ones measured in characters.
    static constexpr qsizetype kMaxEntryBytes = 4 * qsizetype(kMaxEntryLength);

    bool full() const { return m_kept >= m_maxEntries; }

    void take(QByteArrayView piece)
    {
        m_partialBytes += piece.size();
        if (m_partialBytes > kMaxEntryBytes)
            m_partial.clear(); // too long to be kept: stop holding it
        else if (!full())
            m_partial.append(piece);
    }

    void endLine()
    {
        if (m_firstLine && m_partial.startsWith("\xEF\xBB\xBF"))
            m_partial.remove(0, 3);
        m_firstLine = false;
        if (full())
            result.leftOut += m_partialBytes > 0 ? 1 : 0;
        else if (m_partialBytes > kMaxEntryBytes)
            ++result.tooLong;
        else if (m_partial.isEmpty())
            result.lines << QString(); // the clean-up drops it
        else
            keep(m_decoder.decode(m_partial));
        m_partial.clear();
        m_partialBytes = 0;
    }

    void keep(const QString &text)
    {
        if (text.isNull() || text.contains(QChar(0)))
            ++result.unreadable;
        else if (CharacterCount(text) > kMaxEntryLength)
            ++result.tooLong;
        else {
            ++m_kept;
            result.lines << text;
        }
    }

    int m_maxEntries;
    int m_kept = 0;
    LineDecoder m_decoder;
    QByteArray m_partial;
    qsizetype m_partialBytes = 0;
    bool m_afterCr = false;
    bool m_firstLine = true;
};

// Notepad's "Unicode": UTF-16 with its byte-order mark. Returns the encoding and drops the mark.
std::optional<QStringConverter::Encoding> Utf16ByMark(QByteArrayView &chunk)
{
    if (chunk.startsWith("\xFF\xFE")) {
        chunk = chunk.sliced(2);
        return QStringConverter::Utf16LE;
    }
    if (chunk.startsWith("\xFE\xFF")) {
        chunk = chunk.sliced(2);
        return QStringConverter::Utf16BE;
    }
    return std::nullopt;
}

} // namespace

DomainFileLines ReadDomainLines(QIODevice &device, int maxEntries)
{
    LineCutter cutter(maxEntries);
    // UTF-16 is turned into UTF-8 on the way in; a broken sequence becomes NUL, which leaves
    // its line out.
    std::optional<QStringDecoder> utf16;
    bool first = true;
    QByteArray block(1 << 20, Qt::Uninitialized);
    char *buffer = block.data();
    qint64 total = 0;
    for (;;) {
        // No list is larger than its fullest entries in their widest encoding: past that, the
        // rest of the file is not read at all (a huge or sparse file would hold up the window).
        if (total > kMaxListFileBytes) {
            cutter.result.tooLarge = true;
            break;
        }
        const qint64 got = device.read(buffer, block.size());
        total += std::max<qint64>(got, 0);
        if (got < 0) {
            // Keep only whole lines: a broken-off last line could also split a character.
            cutter.result.readFailed = true;
            break;
        }
        if (got == 0) {
            cutter.finish();
            break;
        }
        QByteArrayView chunk(buffer, got);
        if (first) {
            first = false;
            if (const auto encoding = Utf16ByMark(chunk))
                utf16.emplace(*encoding, QStringConverter::Flag::ConvertInvalidToNull);
        }
        if (utf16)
            cutter.feed(QString(utf16->decode(chunk)).toUtf8());
        else
            cutter.feed(chunk);
    }
    return cutter.result;
}

QStringList SplitDomainFile(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ReadDomainLines(buffer, INT_MAX).lines;
}

// `source` names where the lines came from: "文件" or "粘贴的文本".
QString LeftOutMessage(const DomainFileLines &read, const QString &source)
{
    QStringList reasons;
    if (read.leftOut > 0)
        reasons << QStringLiteral("域名列表最多容纳%1个域名，%2中其余%3行未导入。")
                       .arg(kMaxListEntries)
                       .arg(source)
                       .arg(read.leftOut);
    if (read.tooLong > 0)
        reasons << QStringLiteral("%1中有%2行超过%3个字符，不是域名，未导入。")
                       .arg(source)
                       .arg(read.tooLong)
                       .arg(kMaxEntryLength);
    if (read.tooLarge)
        reasons << QStringLiteral("%1大于任何域名列表可能的大小，其余部分未读取。").arg(source);
    if (read.unreadable > 0)
        reasons << QStringLiteral("%1中有%2行无法识别（编码不明或含有空字符），未导入。")
                       .arg(source)
                       .arg(read.unreadable);
    return reasons.join(QStringLiteral("\r\n"));
}

bool OpenDomainFile(const QString &path, QFile &file)
{
    if (path.isEmpty())
        return false;
    // Opened without blocking and checked on the open handle, so nothing can be swapped in
    // between: a pipe with no writer would block the open, a device would never end.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

bool DomainFileReadable(const QString &path)
{
    QFile file;
    return OpenDomainFile(path, file);
}

DomainFileLines ReadLinesToList(platform::ListBox *list, const QString &path)
{
    QFile file;
    if (!OpenDomainFile(path, file))
        return {};
    DomainFileLines result = ReadDomainLines(file, kMaxListEntries);
    file.close();
    list->addItems(result.lines);
    return result;
}
