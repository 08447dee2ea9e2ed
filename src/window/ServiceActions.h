#pragma once

#include <QObject>
#include <functional>

struct AppSettings;
class QAction;
class QTableView;
class QWidget;
class RunController;
class ServiceSwitch;
namespace platform {
class ListBox;
struct Platform;
} // namespace platform

// 服务设置… (the list's and the table's menus, Ctrl+, anywhere in the window): the dialog that
// names, tests and applies the services; and, while the sample service answers, 打开示例域名列表
// in the list's menu.
class ServiceActions : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        platform::ListBox *list;
        QTableView *table;
        RunController *run;
        QWidget *window;
    };
    struct Hooks
    {
        // The services were set anew: the window goes over to them.
        std::function<void(const AppSettings &)> apply;
        // Imports a list file as the import dialog would.
        std::function<void(const QString &)> importList;
    };
    // Without `services` (a window made by a test or a benchmark) the dialog has nothing to set:
    // its entry is disabled.
    ServiceActions(const Controls &controls, platform::Platform &platform, ServiceSwitch *services,
                   Hooks hooks);

    void openDialog();
    void setSampleInUse(bool inUse);

private:
    Controls m_controls;
    platform::Platform &m_platform;
    ServiceSwitch *m_services;
    Hooks m_hooks;
    QAction *m_settings;
    QAction *m_sampleList;
};
