#include "WriteFailure.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

QString WriteFailureReason(const WriteFailure &failure)
{
    switch (failure.error) {
    case EFBIG:
        return QStringLiteral("文件超过了系统允许的大小。");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足。");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("没有写入权限。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("文件夹不存在。");
    case 0:
        break;
    default:
        return QStringLiteral("写入失败（%1）。").arg(failure.detail);
    }
    if (!failure.folderExists)
        return QStringLiteral("文件夹不存在。");
    if (!failure.writable)
        return QStringLiteral("没有写入权限。");
    if (failure.freeBytes && *failure.freeBytes < failure.needed)
        return QStringLiteral("磁盘空间不足。");
    return QStringLiteral("写入失败（%1）。").arg(failure.detail);
}

WriteFailure WriteFailureAt(const QString &path, int error, qint64 needed, const QString &detail)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    WriteFailure failure { error,
                           folder.isDir(),
                           folder.isWritable() && (!target.exists() || target.isWritable()),
                           std::nullopt,
                           needed,
                           detail };
    // In a container the mount table may not list the folder at all: then its size is unknown,
    // which is not the same as full.
    const QStorageInfo volume(folder.absoluteFilePath());
    if (volume.isValid() && volume.isReady() && volume.bytesTotal() > 0)
        failure.freeBytes = volume.bytesAvailable();
    return failure;
}
