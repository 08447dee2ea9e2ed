#pragma once

#include <QString>

// The version text of the update server's reply: what stands between the first "kwtp:" and
// the next "|". Empty when the key or the bar is missing, or a second key comes first.
QString VersionFromReply(const QString &reply);

// The version this program counts as current.
inline const QString kCurrentVersion = QStringLiteral("V1.0");

// The text of the box that announces another version.
QString NewVersionMessage(const QString &version);
