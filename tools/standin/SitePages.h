#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// The pages the stand-in serves, kept apart from the server so they can be read on their own.
namespace standin {

// Sample domains that show the odd cases on purpose.
inline const QString kNoLabelDomain = QStringLiteral("nolabel.example.com");
inline const QString kSlowDomain = QStringLiteral("slow.example.com");
inline const QString kMissingDomain = QStringLiteral("missing.example.com");

using CountTable = QHash<QString, QStringList>; // domain -> four counts

// Reads "domain<TAB>c1<TAB>c2<TAB>c3<TAB>c4" lines; '#' starts a comment line.
CountTable ReadCountTable(const QByteArray &data);

// A statistics page with the counts row; empty link texts where a count is missing.
QByteArray StatisticsPage(const QString &domain, const QStringList &counts);
// A statistics page that lacks the label cell.
QByteArray PageWithoutLabel(const QString &domain);
QByteArray NotFoundPage(const QString &domain);
QByteArray VersionFile(const QString &version);
QByteArray HomePage();

} // namespace standin
