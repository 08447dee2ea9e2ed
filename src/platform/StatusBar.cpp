#include "StatusBar.h"

#include <QHBoxLayout>
#include <QLabel>

namespace platform {

StatusBar::StatusBar(QWidget *parent)
    : QFrame(parent)
{
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
    if (QLabel *label = this->panel(panel))
        label->setText(text);
}

QString StatusBar::panelText(int panel) const
{
    const QLabel *label = this->panel(panel);
    return label ? label->text() : QString();
}

} // namespace platform
