#pragma once

#include <QFrame>
#include <QList>

class QLabel;

namespace platform {

// A status bar of text panels, addressed from 1.
class StatusBar : public QFrame
{
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    // Lays out one panel per text, each at least as wide as its width; the panel `stretchPanel`
    // takes whatever room is left.
    void setPanels(const QStringList &texts, const QList<int> &widths, int stretchPanel);
    int panelCount() const { return int(m_panels.size()); }
    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;
    QLabel *panel(int panel) const;

private:
    QList<QLabel *> m_panels;
};

} // namespace platform
