#pragma once

#include <QStringList>

class QFile;
class QIODevice;
namespace platform {
class ListBox;
}

// What reading a domain list file gave.
// The most a list file can hold that is all entries: the fullest list, each entry as long as an
// entry may be, in the widest encoding (four bytes a character), with CR LF.
inline constexpr qint64 kMaxListFileBytes = qint64(32'767) * (4 * 4'096 + 2);

struct DomainFileLines
{
    QStringList lines; // every line, empty ones included, up to the entry limit
    qint64 leftOut = 0; // non-empty lines past the entry limit
    qint64 tooLong = 0; // lines longer than kMaxEntryLength characters, not kept
    qint64 unreadable = 0; // lines in no encoding we know, or holding NUL characters, not kept
    bool readFailed = false; // the read broke off; `lines` holds the lines read before
    bool tooLarge = false; // the file is larger than any list: the rest was not read
};

// Splits a file's bytes into lines. Lines end at CR LF, a lone CR or a lone LF; a final line
// break does not make an extra empty line. A file that starts with a UTF-16 byte-order mark
// (little or big endian) is UTF-16; otherwise each line on its own is UTF-8 when it is valid
// UTF-8, else GB18030 (which contains GBK). A UTF-8 byte-order mark is dropped.
QStringList SplitDomainFile(const QByteArray &bytes);

// Reads the lines of a device, keeping at most `maxEntries` non-empty lines (and the empty
// lines between them, which the clean-up drops). Lines longer than kMaxEntryLength characters
// are counted, not kept, so memory stays bounded whatever the file holds.
DomainFileLines ReadDomainLines(QIODevice &device, int maxEntries);

// What was left out and why, one sentence a reason joined by CR LF; empty when nothing was.
// `source` names where the lines came from ("文件", "粘贴的文本").
QString LeftOutMessage(const DomainFileLines &read, const QString &source);

// Opens `path` for reading if it is a regular file: never a folder, a pipe or a device, which
// could block the open or never end.
bool OpenDomainFile(const QString &path, QFile &file);
// Whether the file at `path` can be opened for reading (not missing, not a folder, allowed).
bool DomainFileReadable(const QString &path);

// Opens the file at `path`, appends its lines to the end of `list` and closes it again.
DomainFileLines ReadLinesToList(platform::ListBox *list, const QString &path);
