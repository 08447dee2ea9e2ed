#include "DomainFile.h"

#include "DomainEntries.h"
#include "ListBox.h"

#include <QFile>
#include <QStringDecoder>

namespace {

QString DecodeFileText(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb18030("GB18030");
    return gb18030.decode(bytes);
}

} // namespace

QStringList SplitDomainFile(const QByteArray &bytes)
{
    const QString text = DecodeFileText(bytes);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines << text.mid(start);
    return lines;
}

DomainFileLines ReadDomainLines(QIODevice &device, int maxEntries)
{
    DomainFileLines result;
    result.opened = true;
    QByteArray bytes;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 got = device.read(buffer, sizeof buffer);
        if (got < 0) {
            result.readFailed = true;
            // Keep only whole lines: a broken-off last line could also split a character.
            const qsizetype lastBreak = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
            bytes.truncate(lastBreak + 1);
            break;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }

    const QStringList lines = SplitDomainFile(bytes);
    int kept = 0;
    for (const QString &line : lines) {
        if (line.isEmpty()) {
            if (kept < maxEntries)
                result.lines << line;
            continue;
        }
        if (kept < maxEntries) {
            result.lines << line;
            ++kept;
        } else {
            ++result.leftOut;
        }
    }
    return result;
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
