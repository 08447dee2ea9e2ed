#pragma once

#include <QStringList>

class QIODevice;
namespace platform {
class ListBox;
}

// What reading a domain list file gave.
struct DomainFileLines
{
    QStringList lines; // every line, empty ones included, up to the entry limit
    int leftOut = 0; // non-empty lines past the entry limit
    int tooLong = 0; // lines longer than kMaxEntryLength characters, not kept
    bool readFailed = false; // the read broke off; `lines` holds the lines read before
};

// Splits a file's bytes into lines. Lines end at CR LF, a lone CR or a lone LF; a final line
// break does not make an extra empty line. The bytes are UTF-8 when they are valid UTF-8,
// otherwise GB18030 (which contains GBK); a UTF-8 byte-order mark is dropped.
QStringList SplitDomainFile(const QByteArray &bytes);

// Reads the lines of a device, keeping at most `maxEntries` non-empty lines (and the empty
// lines between them, which the clean-up drops). Lines longer than kMaxEntryLength characters
// are counted, not kept, so memory stays bounded whatever the file holds.
DomainFileLines ReadDomainLines(QIODevice &device, int maxEntries);

// Whether the file at `path` can be opened for reading (not missing, not a folder, allowed).
bool DomainFileReadable(const QString &path);

// Opens the file at `path`, appends its lines to the end of `list` and closes it again.
DomainFileLines ReadLinesToList(platform::ListBox *list, const QString &path);
