#pragma once

class QWidget;

// Gives a control the form's display face, "微软雅黑" at 10.5 pt, or the CJK face that stands in
// for it where it is not installed.
void ApplyDisplayFont(QWidget *widget);
