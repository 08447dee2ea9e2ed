#pragma once

#include <QString>
#include <cstdio>

// The batch mode's lines to stderr. Where nobody watches (a log file), each starts with the
// local time; on a terminal one progress line is redrawn in place, and a message first clears
// it, so the two never run into each other.
class BatchMessages
{
public:
    explicit BatchMessages(FILE *to);
    bool terminal() const { return m_terminal; }

    void say(const QString &line);
    // On a terminal: the progress line, redrawn in place.
    void redraw(const QString &line);
    // Leaves the progress line standing, and goes on below it.
    void endRedrawing();

private:
    FILE *m_to;
    bool m_terminal;
    bool m_progressShown = false;
};
