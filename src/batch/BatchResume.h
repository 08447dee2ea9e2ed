#pragma once

#include <QIODevice>
#include <QSet>
#include <QString>

// What an earlier batch run left in its output file, read as a stream: the domains that have
// counts, the largest row number, and where its whole rows end.
struct EarlierRows
{
    QSet<QString> counted;
    qint64 lastNumber = 0;
    qint64 wholeBytes = 0; // the file up to its last whole row
    bool unfinished = false; // the last row was cut short (no line end): drop it
    QString problem; // why the file cannot be resumed from; empty when it can
};

// Numbers above this are refused, so that a full list numbered on from one still fits.
inline constexpr qint64 kMaxRowNumber = 2'147'483'647 - 32'767;

EarlierRows ReadEarlierRows(QIODevice &file);
