#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// What is known about a failed write: the error number the failing call left (0 when it gave
// none) and, for a guess when it gave none, the state of the target's folder.
struct WriteFailure
{
    int error = 0;
    bool folderExists = true;
    bool writable = true;
    std::optional<qint64> freeBytes; // empty when the volume's size cannot be read
    qint64 needed = 0;
    QString detail; // the system's own words, for a failure none of the reasons names
};

// Why a write failed, in the user's words. The error number decides; the folder's state and
// free space are only a guess for a failure that gave none.
QString WriteFailureReason(const WriteFailure &failure);

// The facts for `path` read from the system: folder, permissions, free space.
WriteFailure WriteFailureAt(const QString &path, int error, qint64 needed, const QString &detail);
