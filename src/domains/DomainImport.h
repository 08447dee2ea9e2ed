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
    // Imports the file at `path` as the import does once its dialog has picked it.
    void importFile(const QString &path);
    // A dropped file: imported as above, except that a file without a single domain leaves the
    // list as it was.
    void dropFile(const QString &path);
    // Dropped text, and the clipboard's: appended with the import's clean-up and limits.
    void dropText(const QString &text);
    void pasteFromClipboard();
    // A drop that cannot be used: several files at once, or an address that is no local file.
    void refuseDrop(bool severalFiles);
    // A mouse button pressed on the list starts the import while the list is empty.
    void onListMouseDown();
    // A double click removes the current entry.
    void onListDblClick();

private:
    // False when the file could not be read (said in a box; the list is as it was).
    bool replaceFromFile(const QString &path, DomainFileLines &read);
    void appendText(const QString &text, const QString &source);
    void selectLastAndReport();
    void say(const QString &text);
    void reportLeftOut(const DomainFileLines &read, const QString &source);

    platform::ListBox *m_list;
    platform::StatusBar *m_status;
    platform::Platform &m_platform;
    QWidget *m_window;
    QString m_lastFile;
};
