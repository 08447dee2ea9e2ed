#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Writes `bytes` to `path` (the test stops when it cannot) and gives back the path.
QString WriteFile(const QString &path, const QByteArray &bytes);
QByteArray ReadFile(const QString &path); // empty when it cannot be read
// One file of a zip archive (a workbook's sheet, say) as text; empty when it cannot be read.
QString ZipPart(const QString &zip, const QString &name);
// Runs `write` with files limited to `bytes`, as on a disk that fills: writes past it fail.
void WithFileSizeLimit(qint64 bytes, const std::function<void()> &write);
