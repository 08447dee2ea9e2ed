#include "FormFont.h"

#include <QFont>
#include <QFontDatabase>
#include <QWidget>

namespace {

const QString kDisplayFace = QStringLiteral("微软雅黑");

void RegisterSubstitutes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (QFontDatabase::families().contains(kDisplayFace))
        return;
    QFont::insertSubstitutions(
        kDisplayFace,
        { QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"),
          QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
          QStringLiteral("AR PL UMing CN") });
}

} // namespace

void ApplyDisplayFont(QWidget *widget)
{
    RegisterSubstitutes();
    QFont font(kDisplayFace);
    font.setPointSizeF(10.5);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    widget->setFont(font);
}
