#include "DomainEntries.h"

QStringList CleanDomainEntries(const QStringList &entries)
{
    QStringList cleaned;
    cleaned.reserve(entries.size());
    for (const QString &entry : entries) {
        if (entry.isEmpty())
            continue;
        QString text = entry;
        text.remove(QStringLiteral("http://"), Qt::CaseSensitive);
        if (text.startsWith(QStringLiteral("www."), Qt::CaseSensitive))
            text.remove(0, 4);
        cleaned << text;
    }
    return cleaned;
}
