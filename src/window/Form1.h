#pragma once

#include "AppSettings.h"
#include "QueryState.h"

#include <QWidget>
#include <memory>

namespace Ui {
class Form1;
}
namespace platform {
struct Platform;
}
class ContinueRunAction;
class DomainImport;
class DomainQuery;
class ResultsTableActions;
class ServiceActions;
class ServiceSwitch;
class HistoryActions;
class QTimer;
class ResultsModel;
class RunController;

// The main window: domain list, results table, run controls, links and status bar.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    // `services`, when given, lets the user set the services anew from the window.
    Form1(const AppSettings &settings, platform::Platform &platform,
          ServiceSwitch *services = nullptr, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: skin, table header lock, window shown, version, update check.
    void Load();
    // The update check; only a matching version enables the batch run.
    void gx();
    // Queries the last entry of the domain list once.
    void cx();
    // Imports the list file at `path` as the import dialog would, without its instructions.
    void openList(const QString &path);
    // A later start of the program handed over its list file (empty: none): brought to the
    // front, the file imported as a dropped one is.
    void takeHandedFile(const QString &path);
    // The bundled sample service ended on its own: every later query would fail unexplained.
    void sampleServiceEnded();
    // The services were set anew: later queries go to them, the history follows, and the update
    // check is made again as at start-up.
    void applyServices(const AppSettings &settings);
    // Opens 服务设置… (a desktop action starts the program with it showing).
    void openServiceSettings();

    QueryState &queryState() { return m_state; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The constructor's parts, in their order.
    void layOut();
    void wireList();
    void wireRun();
    void wireHistoryAndServices(ServiceSwitch *services);
    void openAddDialog();
    // A run or a retry ended while the user looked elsewhere: tell them.
    void announceEnd();
    void openSite(const QString &url);
    // Title, sheet name and menu entries that say whether the counts are sample data.
    void showWhetherSample(bool sample);
    QString programDir() const;

    std::unique_ptr<Ui::Form1> ui;
    AppSettings m_settings;
    platform::Platform &m_platform;
    QueryState m_state;
    DomainQuery *m_query = nullptr;
    DomainImport *m_import = nullptr;
    RunController *m_run = nullptr;
    HistoryActions *m_history = nullptr;
    ContinueRunAction *m_continue = nullptr;
    ResultsTableActions *m_resultsActions = nullptr;
    ServiceActions *m_serviceActions = nullptr;
    QString m_title; // without the sample data's mark
    ResultsModel *m_results = nullptr;
    QTimer *m_timer1 = nullptr;
    bool m_closed = false;
};
