#pragma once

#include <QSlider>

namespace platform {

// A slider whose tick marks show whatever style draws it. Qt's style-sheet drawing leaves them
// out as soon as a sheet restyles the groove or the handle, so they are drawn here, along the
// edge beside the groove, in the window's text colour.
class Slider : public QSlider
{
    Q_OBJECT
public:
    explicit Slider(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintTicks(QPainter &painter, const QStyleOptionSlider &option);
};

} // namespace platform
