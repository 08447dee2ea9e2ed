#pragma once

#include <QString>

// No version text is longer; a longer one is a page that is not the version file.
inline constexpr qsizetype kMaxVersionLength = 64;

// The version text of the update server's reply: what stands between the first "kwtp:" and
// the next "|". Empty when the key or the bar is missing, a second key comes first, or the
// text is longer than kMaxVersionLength.
QString VersionFromReply(const QString &reply);

// The version this program counts as current.
inline const QString kCurrentVersion = QStringLiteral("V1.0");

// The text of the box that announces another version.
QString NewVersionMessage(const QString &version);
