#include "TidyEntries.h"

namespace {

constexpr int kChangesShown = 5;

bool IsFieldSeparator(QChar c)
{
    return c == u',' || c == u'\t' || c == u';' || c == u'，' || c == u'；';
}

bool IsBlank(QChar c)
{
    return c.isSpace() || c == QChar(0xFEFF);
}

QString Trimmed(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && IsBlank(text[from]))
        ++from;
    while (to > from && IsBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from).toString();
}

// "scheme://" with a scheme as URLs spell them: an ASCII letter, then ASCII letters, digits,
// "+", "-" and ".".
qsizetype SchemeLength(QStringView text)
{
    const qsizetype colon = text.indexOf(QStringLiteral("://"));
    if (colon <= 0)
        return 0;
    for (qsizetype i = 0; i < colon; ++i) {
        const char16_t c = text[i].unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        const bool other = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
        if (!letter && !(i > 0 && other))
            return 0;
    }
    return colon + 3;
}

QString HostOf(const QString &field)
{
    QStringView text = field;
    text = text.mid(SchemeLength(text));
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'/' && text[end] != u'?' && text[end] != u'#'
           && text[end] != u'\\')
        ++end;
    text = text.left(end);
    text = text.mid(text.lastIndexOf(u'@') + 1);
    // A bracketed address keeps its colons; a name loses its port.
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close > 0)
            text = text.left(close + 1);
    } else if (const qsizetype colon = text.indexOf(u':'); colon >= 0) {
        text = text.left(colon);
    }
    while (text.endsWith(u'.'))
        text.chop(1);
    QString host = text.toString().toLower();
    if (host.startsWith(QStringLiteral("www.")))
        host.remove(0, 4);
    return host;
}

bool LooksLikeHost(const QString &host)
{
    if (!host.contains(u'.'))
        return false;
    for (const QChar c : host) {
        if (IsBlank(c))
            return false;
    }
    return true;
}

} // namespace

QString TidyDomainEntry(const QString &line)
{
    const QString whole = Trimmed(line);
    QString fallback;
    qsizetype from = 0;
    while (from <= whole.size()) {
        qsizetype to = from;
        while (to < whole.size() && !IsFieldSeparator(whole[to]))
            ++to;
        const QString host = HostOf(Trimmed(QStringView(whole).mid(from, to - from)));
        if (LooksLikeHost(host))
            return host;
        if (fallback.isEmpty())
            fallback = host;
        from = to + 1;
    }
    // No field names a host: the first that says anything stays, for the user to judge.
    return fallback;
}

TidiedList TidyDomainEntries(const QStringList &entries)
{
    TidiedList tidied;
    tidied.entries.reserve(entries.size());
    for (const QString &entry : entries) {
        const QString host = TidyDomainEntry(entry);
        if (host.isEmpty()) {
            ++tidied.dropped;
            continue;
        }
        if (host != entry) {
            ++tidied.changed;
            if (tidied.firstChanges.size() < kChangesShown)
                tidied.firstChanges.append({ entry, host });
        }
        tidied.entries << host;
    }
    return tidied;
}
