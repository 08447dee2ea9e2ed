#include "StatusBar.h"

#include "AccessibleRoles.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>

namespace platform {

StatusBar::StatusBar(QWidget *parent)
    : QFrame(parent)
{
    ReadOutAsStatusBar(this);
    setAccessibleName(QStringLiteral("状态栏"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
}

void StatusBar::setPanels(const QStringList &texts, const QList<int> &widths, int stretchPanel)
{
    qDeleteAll(m_panels);
    m_panels.clear();
    auto *row = static_cast<QHBoxLayout *>(layout());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        auto *label = new QLabel(texts.at(i), this);
        label->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        const int width = i < widths.size() ? widths.at(i) : 96;
        label->setMinimumWidth(width);
        if (i + 1 != stretchPanel)
            label->setMaximumWidth(width);
        row->addWidget(label, i + 1 == stretchPanel ? 1 : 0);
        m_panels << label;
    }
}

QLabel *StatusBar::panel(int panel) const
{
    return panel >= 1 && panel <= m_panels.size() ? m_panels.at(panel - 1) : nullptr;
}

void StatusBar::setPanelText(int panel, const QString &text)
{
    QLabel *label = this->panel(panel);
    if (!label || label->text() == text)
        return;
    label->setText(text);
    // A panel is read out by its text: a screen reader hears of each new message.
    if (label->accessibleName().isEmpty()) {
        QAccessibleEvent changed(label, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

QString StatusBar::panelText(int panel) const
{
    const QLabel *label = this->panel(panel);
    return label ? label->text() : QString();
}

} // namespace platform
