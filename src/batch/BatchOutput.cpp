#include "BatchOutput.h"

#include "BatchRun.h"
#include "WriteFailure.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

BatchOutput::~BatchOutput()
{
    if (m_fd >= 0)
        ::close(m_fd); // the lock goes with it
    if (m_workbookLock >= 0) {
        QFile::remove(m_partial); // gone already when the workbook was written
        ::close(m_workbookLock);
    }
}

BatchOutput::Refusal BatchOutput::cannot(const QString &reason) const
{
    return { QStringLiteral("无法写入文件%1：%2").arg(QDir::toNativeSeparators(m_path), reason),
             kBatchFileUnusable };
}

BatchOutput::Refusal BatchOutput::theList() const
{
    return {
        QStringLiteral("--output 不能是域名列表本身：%1").arg(QDir::toNativeSeparators(m_path)),
        kBatchUsage
    };
}

std::optional<BatchOutput::Refusal> BatchOutput::lockRegular(int fd, dev_t listDevice,
                                                             ino_t listInode) const
{
    struct stat opened
    {
    };
    std::optional<Refusal> refused;
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode))
        refused = cannot(QStringLiteral("不是普通文件。"));
    else if (opened.st_dev == listDevice && opened.st_ino == listInode)
        refused = theList();
    else if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        refused = cannot(errno == EWOULDBLOCK ? QStringLiteral("另一个批量查询正在写入这个文件。")
                                              : failureReason(errno));
    if (refused)
        ::close(fd);
    return refused;
}

std::optional<BatchOutput::Refusal> BatchOutput::reserveWorkbook(const QString &path,
                                                                 dev_t listDevice, ino_t listInode)
{
    m_path = path;
    struct stat target
    {
    };
    // The workbook takes the target's name only at the end; what it would replace is checked
    // now.
    if (::stat(QFile::encodeName(path).constData(), &target) == 0) {
        if (!S_ISREG(target.st_mode))
            return cannot(QStringLiteral("不是普通文件。"));
        if (target.st_dev == listDevice && target.st_ino == listInode)
            return theList();
    }
    const QFileInfo info(path);
    const QString partial
        = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".partial");
    const int fd = ::open(QFile::encodeName(partial).constData(),
                          O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0)
        return cannot(failureReason(errno));
    if (auto refused = lockRegular(fd, listDevice, listInode))
        return refused;
    m_workbookLock = fd;
    m_partial = partial;
    return std::nullopt;
}

std::optional<BatchOutput::Refusal> BatchOutput::openFile(const QString &path, dev_t listDevice,
                                                          ino_t listInode)
{
    m_path = path;
    const QByteArray name = QFile::encodeName(path);
    struct stat before
    {
    };
    // A FIFO or a device would block the open or never end: only regular files, checked before
    // opening and again on what was opened.
    if (::stat(name.constData(), &before) == 0 && !S_ISREG(before.st_mode))
        return cannot(QStringLiteral("不是普通文件。"));
    const int flags = O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = ::open(name.constData(), flags, 0666);
    if (fd < 0)
        return cannot(failureReason(errno));
    if (auto refused = lockRegular(fd, listDevice, listInode))
        return refused;
    m_fd = fd;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::nullopt;
}

qint64 BatchOutput::size() const
{
    struct stat now
    {
    };
    return ::fstat(m_fd, &now) == 0 ? qint64(now.st_size) : 0;
}

bool BatchOutput::cutBackTo(qint64 bytes)
{
    return ::ftruncate(m_fd, off_t(bytes)) == 0;
}

int BatchOutput::append(const QByteArray &bytes)
{
    if (m_fd < 0) {
        errno = 0;
        if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_out) != size_t(bytes.size())
            || std::fflush(m_out) != 0)
            return errno ? errno : EIO;
        return 0;
    }
    const qint64 before = size();
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t n
            = ::write(m_fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            [[maybe_unused]] const int cut
                = ::ftruncate(m_fd, off_t(before)); // no row cut mid-field
            return error;
        }
        written += n;
    }
    return 0;
}

QString BatchOutput::failureReason(int error) const
{
    const QString detail = QString::fromLocal8Bit(std::strerror(error));
    if (m_path.isEmpty()) // standard output: only the error number tells
        return WriteFailureReason({ error, true, true, std::nullopt, 0, detail });
    return WriteFailureReason(WriteFailureAt(m_path, error, 0, detail));
}
