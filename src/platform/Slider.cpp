#include "Slider.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace platform {

Slider::Slider(QWidget *parent)
    : QSlider(parent)
{
}

void Slider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
    if (tickPosition() != NoTicks)
        paintTicks(painter, option);
}

void Slider::paintTicks(QPainter &painter, const QStyleOptionSlider &option)
{
    if (orientation() != Qt::Horizontal || maximum() <= minimum())
        return;
    const QRect handle
        = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = width() - handle.width();
    const int interval = tickInterval() > 0 ? tickInterval() : std::max(1, pageStep());
    const int length = std::max(2, height() / 5);
    QColor colour = palette().color(QPalette::WindowText);
    colour.setAlphaF(isEnabled() ? 0.55f : 0.3f);
    painter.setPen(colour);
    for (int value = minimum(); value <= maximum(); value += interval) {
        const int x
            = QStyle::sliderPositionFromValue(minimum(), maximum(), value, span, option.upsideDown)
            + handle.width() / 2;
        if (tickPosition() & TicksAbove)
            painter.drawLine(x, 0, x, length - 1);
        if (tickPosition() & TicksBelow)
            painter.drawLine(x, height() - length, x, height() - 1);
    }
}

} // namespace platform
