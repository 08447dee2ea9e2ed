#include "GrowingLayout.h"

#include <QEvent>
#include <QWidget>

GrowingLayout::GrowingLayout(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_smallest(window->size())
{
    for (QObject *child : window->children()) {
        if (auto *control = qobject_cast<QWidget *>(child); control && !control->isWindow())
            m_specified.insert(control, control->geometry());
    }
    window->setMinimumSize(m_smallest);
    window->installEventFilter(this);
}

bool GrowingLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Resize)
        place();
    return QObject::eventFilter(watched, event);
}

QPoint GrowingLayout::shift(QWidget *control, int wider, int taller) const
{
    if (QWidget *leader = m_leaders.value(control))
        return shift(leader, wider, taller);
    const QRect at = m_specified.value(control);
    QPoint by;
    if (!m_growRight.contains(control) && at.center().x() > m_smallest.width() / 2)
        by.setX(wider); // nearer the right edge
    if (!m_growDown.contains(control) && at.center().y() > m_smallest.height() / 2)
        by.setY(taller); // nearer the bottom
    return by;
}

void GrowingLayout::place()
{
    const int wider = std::max(0, m_window->width() - m_smallest.width());
    const int taller = std::max(0, m_window->height() - m_smallest.height());
    for (auto it = m_specified.cbegin(); it != m_specified.cend(); ++it) {
        QWidget *control = it.key();
        const QRect specified = it.value();
        const QSize size(
            m_growRight.contains(control) ? specified.width() + wider : control->width(),
            m_growDown.contains(control) ? specified.height() + taller : control->height());
        control->setGeometry(QRect(specified.topLeft() + shift(control, wider, taller), size));
    }
}
