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

void GrowingLayout::place()
{
    const int wider = std::max(0, m_window->width() - m_smallest.width());
    const int taller = std::max(0, m_window->height() - m_smallest.height());
    for (auto it = m_specified.cbegin(); it != m_specified.cend(); ++it) {
        QRect at = it.value();
        if (m_growRight.contains(it.key()))
            at.setWidth(at.width() + wider);
        else if (at.center().x() > m_smallest.width() / 2)
            at.translate(wider, 0); // nearer the right edge
        if (m_growDown.contains(it.key()))
            at.setHeight(at.height() + taller);
        else if (at.center().y() > m_smallest.height() / 2)
            at.translate(0, taller); // nearer the bottom
        it.key()->setGeometry(at);
    }
}
