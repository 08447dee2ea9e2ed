#pragma once

#include "FakePlatform.h"
#include "Form1.h"
#include "ListBox.h"
#include "ScriptedHttpServer.h"
#include "ServiceSwitch.h"
#include "SitePages.h"
#include "StatusBar.h"
#include "TestFiles.h"

#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

// Run steps come from the test, never from the clock: the run timer is set too slow to fire by
// itself, and a step is made as the timer would make it: one, or until the run is over.
void StepRunToItsEnd(QWidget &form);
void Step(QWidget &form);

// A main window wired to a scripted loopback server (statistics pages under /siteall/, the
// version file, and a forum, service and resource site of its own each) and to platform
// doubles, shown on the offscreen platform so that tests can press its controls.
struct Form1Fixture
{
    // `show`: show the window at once, as after a start-up whose update check passed; otherwise
    // the test runs Load().
    // `adjust` changes the settings before the window is made.
    // `services`: the window is made from what they make ready, and can set them anew.
    explicit Form1Fixture(bool show = true, const QString &programDir = QString(),
                          const std::function<void(AppSettings &)> &adjust = {},
                          ServiceSwitch *services = nullptr);

    // A window that keeps its history in `path`.
    static std::unique_ptr<Form1Fixture> KeepingHistory(const QString &path);

    template<typename T> T *find(const char *name) const
    {
        return form->findChild<T *>(QString::fromLatin1(name));
    }
    platform::ListBox *list() const { return find<platform::ListBox>("List1"); }
    QTableView *table() const { return find<QTableView>("ListView1"); }
    int rowCount() const { return table()->model()->rowCount(); }
    platform::StatusBar *status() const { return find<platform::StatusBar>("s1"); }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void step() { Step(*form); }

    void serveCounts(const QString &domain, const QStringList &counts,
                     ScriptedHttpServer::Mode mode = ScriptedHttpServer::Mode::Normal);
    // Runs `action` from the event loop once the page of `domain` has been asked for: inside
    // the wait of the query that asked.
    void onRequest(const QString &domain, const std::function<void()> &action);
    void serveVersionFile(const QByteArray &body)
    {
        server.setReply("/version/main.txt", { 200, body });
    }
    QString writeFile(const QString &name, const QByteArray &bytes) const
    {
        return WriteFile(dir.filePath(name), bytes);
    }
    // Presses the import button and picks `path` (or a file of `lines`) in the file dialog.
    void importFile(const QString &path)
    {
        fake.fileAnswers << path;
        click("Command1");
    }
    void importLines(const QStringList &lines);
    QStringList rowTexts(int row) const;
    // Whether any request the server was sent holds `part`.
    bool asked(const char *part) const;
    // Sorts as the user does: a click on the results table's header.
    void clickHeader(int column);
    // The entries of `widget`'s own menu (the results table's when none is named), opened from
    // the keyboard (Shift+F10); the entry reading `pick`, when named, is chosen.
    QStringList menu(QWidget *widget = nullptr, const QString &pick = {});
    // Makes another window the active one, as when the user works elsewhere during a run.
    bool workElsewhere();
    // The run's state as the controls show it: "<caption> list:1 pace:1 timer:0 mode:0 cursor:0".
    QString runState() const;

    FakePlatform fake;
    ScriptedHttpServer server;
    QTemporaryDir dir;
    AppSettings settings;
    std::unique_ptr<Form1> form;
    std::unique_ptr<QWidget> elsewhere;
};
