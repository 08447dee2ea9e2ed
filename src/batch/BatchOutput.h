#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <optional>
#include <sys/types.h>

// Where the batch mode's rows go: standard output, or a file they are appended to one by one.
// The file is a regular file, opened without blocking and locked for the whole run, so a second
// run on it is refused instead of writing every row twice.
class BatchOutput
{
public:
    explicit BatchOutput(FILE *out)
        : m_out(out)
    {
    }
    ~BatchOutput();
    BatchOutput(const BatchOutput &) = delete;
    BatchOutput &operator=(const BatchOutput &) = delete;

    struct Refusal
    {
        QString line; // what to say on stderr
        int status;
    };
    // Opens `path` for appending, and for reading what is there already (a resume, and the check
    // that an append starts at a whole row's end). `list` is the domain list's device and inode:
    // the output may not be the list itself.
    std::optional<Refusal> openFile(const QString &path, dev_t listDevice, ino_t listInode);

    // For a workbook, written whole at the end: its place is made now, beside `path` under a
    // name of its own, and locked, so that a missing or unwritable folder or a second run on the
    // same workbook is refused before the first query. The same refusals as openFile().
    std::optional<Refusal> reserveWorkbook(const QString &path, dev_t listDevice, ino_t listInode);
    // Where the workbook is written before it takes its name.
    QString partialWorkbook() const { return m_partial; }

    bool isFile() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    qint64 size() const;
    // Cuts the file back to `bytes` (an unfinished last row); false with errno set on failure.
    bool cutBackTo(qint64 bytes);

    // Appends `bytes` whole or not at all: a file keeps every whole row written before a write
    // that failed. Returns 0, or the error number of the failed write.
    int append(const QByteArray &bytes);
    // Why the last failed write failed, in the user's words.
    QString failureReason(int error) const;

private:
    Refusal cannot(const QString &reason) const;
    Refusal theList() const;
    // `fd` is a regular file, not the list, and now locked for this run; otherwise why not (and
    // `fd` is closed).
    std::optional<Refusal> lockRegular(int fd, dev_t listDevice, ino_t listInode) const;

    FILE *m_out;
    int m_fd = -1;
    QString m_path;
    int m_workbookLock = -1;
    QString m_partial;
};
