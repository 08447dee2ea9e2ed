#pragma once

#include <QList>
#include <QObject>

class QAction;

class QWidget;
namespace platform {
class ListBox;
class StatusBar;
struct Platform;
} // namespace platform

// The domain list's own menu (a right click, the Menu key, Shift+F10): tidy pasted lines,
// remove the duplicates of merged lists, remove what a run would skip, empty the list. Never during
// a run: the list is disabled then, and so is its menu.
class ListTools : public QObject
{
    Q_OBJECT
public:
    ListTools(platform::ListBox *list, platform::StatusBar *status, platform::Platform &platform,
              QWidget *window, QObject *parent = nullptr);

    // Turns pasted addresses and spreadsheet lines into bare host names, on request only.
    void tidyList();
    // Keeps the first of each domain, compared without case.
    void removeDuplicates();
    // Removes the entries a run would skip as no domain (no suffix marker).
    void removeRejected();
    // Empties the list once the user has confirmed it.
    void clearList();

private:
    void keep(const QStringList &entries, const QString &removedWhat);

    QList<QAction *> m_tools;
    bool m_pressed = false; // the menu comes from a right press
    platform::ListBox *m_list;
    platform::StatusBar *m_status;
    platform::Platform &m_platform;
    QWidget *m_window;
};
