#pragma once

#include <QObject>
#include <QString>

class QWidget;
namespace platform {
class ListBox;
class StatusBar;
struct Platform;
} // namespace platform

// Filling the domain list from a text file, and the list's own editing gestures.
class DomainImport : public QObject
{
    Q_OBJECT
public:
    DomainImport(platform::ListBox *list, platform::StatusBar *status, platform::Platform &platform,
                 QWidget *window, const QString &programDir, QObject *parent = nullptr);

    // The import button: instructions, file dialog, list replaced and cleaned, last entry
    // selected, count reported.
    void run();
    // A mouse button pressed on the list starts the import while the list is empty.
    void onListMouseDown();
    // A double click removes the current entry.
    void onListDblClick();

private:
    platform::ListBox *m_list;
    platform::StatusBar *m_status;
    platform::Platform &m_platform;
    QWidget *m_window;
    QString m_programDir;
    QString m_lastFile;
};
