#include "BatchMessages.h"

#include <QDateTime>
#include <unistd.h>

BatchMessages::BatchMessages(FILE *to)
    : m_to(to)
    , m_terminal(::isatty(::fileno(to)))
{
}

void BatchMessages::say(const QString &line)
{
    QString text = line;
    if (!m_terminal) {
        const QDateTime now = QDateTime::currentDateTime();
        text.prepend(now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate) + u' ');
    }
    if (m_progressShown) {
        std::fprintf(m_to, "\r\033[K");
        m_progressShown = false;
    }
    std::fprintf(m_to, "%s\n", qPrintable(text));
    std::fflush(m_to);
}

void BatchMessages::redraw(const QString &line)
{
    std::fprintf(m_to, "\r\033[K%s", qPrintable(line));
    std::fflush(m_to);
    m_progressShown = true;
}

void BatchMessages::endRedrawing()
{
    if (!m_progressShown)
        return;
    std::fprintf(m_to, "\n");
    std::fflush(m_to);
    m_progressShown = false;
}
