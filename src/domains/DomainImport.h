#pragma once

#include <QObject>
#include <QString>

class QWidget;
struct DomainFileLines;
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
                 QWidget *window, QObject *parent = nullptr);

    // The import button: instructions, file dialog, list replaced and cleaned, last entry
    // selected, count reported.
    void run();
    // Imports the file at `path` as the import does once its dialog has picked it: a dropped
    // file.
    void importFile(const QString &path);
    // Appends the lines of `text` (pasted or dropped) with the import's clean-up and limits.
    void appendText(const QString &text);
    void pasteFromClipboard();
    // A mouse button pressed on the list starts the import while the list is empty.
    void onListMouseDown();
    // A double click removes the current entry.
    void onListDblClick();

private:
    void selectLastAndReport();
    void reportLeftOut(const DomainFileLines &read, const QString &source);

    platform::ListBox *m_list;
    platform::StatusBar *m_status;
    platform::Platform &m_platform;
    QWidget *m_window;
    QString m_lastFile;
};
