#include "UpdateCheck.h"

QString VersionFromReply(const QString &reply)
{
    const QString key = QStringLiteral("kwtp:");
    const qsizetype at = reply.indexOf(key);
    if (at < 0)
        return {};
    QStringView piece = QStringView(reply).mid(at + key.size());
    const qsizetype next = piece.indexOf(key);
    if (next >= 0)
        piece = piece.left(next);
    const qsizetype bar = piece.indexOf(QLatin1Char('|'));
    if (bar < 0 || bar > kMaxVersionLength)
        return {};
    return piece.left(bar).toString();
}

QString NewVersionMessage(const QString &version)
{
    return QStringLiteral("发现最新版本![") + version
        + QStringLiteral("]\r\n \r\n确定后自动打开官方论坛!");
}
