#pragma once

#include <QList>
#include <QStringList>
#include <utility>

// What 整理域名 made of a list.
struct TidiedList
{
    QStringList entries; // in the list's order, without those that came out empty
    int changed = 0; // entries that read differently now (not counting the dropped)
    int dropped = 0; // entries that were or became empty
    QList<std::pair<QString, QString>> firstChanges; // the first few, before and after
};

// One pasted line as the host it names: trimmed; of several fields (comma, tab or semicolon
// separated) the first that looks like a host; scheme, user, port, path, query and fragment
// cut away; no trailing dot; lower case; no leading "www.". International names stay as
// written, in Unicode.
QString TidyDomainEntry(const QString &line);

TidiedList TidyDomainEntries(const QStringList &entries);
