#pragma once

#include <QHash>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

// Keeps a window laid out by fixed geometry usable as it grows: its size when this is made is
// its smallest; each control keeps its place relative to the nearest edges, and the controls
// told to grow take the new room. A control that is not told to grow keeps its own size, so a
// label that sizes itself to its caption stays whole.
class GrowingLayout : public QObject
{
public:
    explicit GrowingLayout(QWidget *window);

    void growRight(QWidget *control) { m_growRight << control; }
    void growDown(QWidget *control) { m_growDown << control; }
    // `control` moves as `leader` moves, wherever it lies (a caption beside its slider).
    void follow(QWidget *control, QWidget *leader) { m_leaders.insert(control, leader); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();
    // How far the specified place of `control` moves in a window `wider` and `taller`.
    QPoint shift(QWidget *control, int wider, int taller) const;

    QWidget *m_window;
    QSize m_smallest;
    QHash<QWidget *, QRect> m_specified;
    QList<QWidget *> m_growRight;
    QList<QWidget *> m_growDown;
    QHash<QWidget *, QWidget *> m_leaders;
};
