#pragma once

#include <QStringList>

// The list box counts its entries in 16 bits.
inline constexpr int kMaxListEntries = 32767;
// No domain name comes near this; a longer line is not kept as an entry.
inline constexpr int kMaxEntryLength = 4096;

// The clean-up after an import: entries that are exactly empty are dropped; then every
// "http://" is removed and one leading "www." is cut off. Nothing else changes: an entry that
// only now becomes empty stays, and so do blanks, upper-case prefixes and "https://".
QStringList CleanDomainEntries(const QStringList &entries);
