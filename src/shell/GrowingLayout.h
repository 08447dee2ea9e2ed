#pragma once

#include <QHash>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

// Keeps a window laid out by fixed geometry usable as it grows: its size when this is made is
// its smallest; each control keeps its place relative to the nearest edges, and the controls
// told to grow take the new room.
class GrowingLayout : public QObject
{
public:
    explicit GrowingLayout(QWidget *window);

    void growRight(QWidget *control) { m_growRight << control; }
    void growDown(QWidget *control) { m_growDown << control; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    QWidget *m_window;
    QSize m_smallest;
    QHash<QWidget *, QRect> m_specified;
    QList<QWidget *> m_growRight;
    QList<QWidget *> m_growDown;
};
