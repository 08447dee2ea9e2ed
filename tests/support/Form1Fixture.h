#pragma once

#include "FakePlatform.h"
#include "Form1.h"
#include "ScriptedHttpServer.h"

#include <QTemporaryDir>
#include <memory>

class QPushButton;
class QTreeWidget;
namespace platform {
class ListBox;
class StatusBar;
} // namespace platform

// A main window wired to a scripted loopback server (statistics pages under /siteall/, the
// version file under /version/main.txt) and to platform doubles, shown on the offscreen
// platform so that tests can press its controls.
struct Form1Fixture
{
    Form1Fixture();
    ~Form1Fixture();

    template<typename T>
    T *find(const char *name) const
    {
        return form->findChild<T *>(QString::fromLatin1(name));
    }
    platform::ListBox *list() const;
    QTreeWidget *table() const;
    platform::StatusBar *status() const;
    QPushButton *button(const char *name) const;

    // A page with the counts row for `domain`.
    void serveCounts(const QString &domain, const QStringList &counts, int delayMs = 0);
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    // Presses the import button and picks `path` in the file dialog.
    void importFile(const QString &path);
    void importLines(const QStringList &lines);
    void click(const char *buttonName);
    QStringList rowTexts(int row) const;
    int requestsFor(const QString &domain) const;

    FakePlatform fake;
    ScriptedHttpServer server;
    QTemporaryDir dir;
    AppSettings settings;
    std::unique_ptr<Form1> form;
};
