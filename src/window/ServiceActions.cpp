#include "ServiceActions.h"

#include "ConnectionTest.h"
#include "ListBox.h"
#include "Platform.h"
#include "RunController.h"
#include "ServiceSwitch.h"
#include "ServicesDialog.h"

#include <QAction>
#include <QDir>
#include <QTableView>

namespace {

const QString kBoxTitle = QStringLiteral("Varnel系列软件");

// What an address left empty stands for: the build's own service, or the sample service.
QString BuiltIn(const QString &address, const QString &path)
{
    if (address.isEmpty())
        return QStringLiteral("使用程序自带的示例服务（示例数据）");
    return QStringLiteral("使用%1").arg(address.left(address.size() - path.size()));
}

} // namespace

ServiceActions::ServiceActions(const Controls &controls, platform::Platform &platform,
                               ServiceSwitch *services, Hooks hooks)
    : QObject(controls.window)
    , m_controls(controls)
    , m_platform(platform)
    , m_services(services)
    , m_hooks(std::move(hooks))
    , m_settings(new QAction(QStringLiteral("服务设置…"), controls.window))
    , m_sampleList(new QAction(QStringLiteral("打开示例域名列表"), controls.window))
{
    m_settings->setObjectName(QStringLiteral("serviceSettings"));
    m_settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_settings->setShortcutContext(Qt::WindowShortcut);
    m_settings->setEnabled(services != nullptr);
    controls.list->addAction(m_settings);
    controls.table->addAction(m_settings);
    controls.window->addAction(m_settings); // the shortcut works wherever the focus is
    connect(m_settings, &QAction::triggered, this, &ServiceActions::openDialog);
    m_sampleList->setObjectName(QStringLiteral("openSampleList"));
    connect(m_sampleList, &QAction::triggered, this, [this] {
        if (m_services)
            m_hooks.importList(m_services->sampleList());
    });
}

void ServiceActions::setSampleInUse(bool inUse)
{
    // Only in the list's menu, and only while it leads somewhere.
    if (inUse && m_services)
        m_controls.list->addAction(m_sampleList);
    else
        m_controls.list->removeAction(m_sampleList);
}

void ServiceActions::openDialog()
{
    if (!m_services)
        return;
    const ServiceSwitch::Origin &origin = m_services->origin();
    ServicesDialog::Hooks hooks;
    hooks.saved = m_services->saved();
    hooks.statsFromCommandLine = origin.statsFromLine;
    hooks.updateFromCommandLine = origin.updateFromLine;
    hooks.builtInStats = BuiltIn(origin.build.statsBase, QStringLiteral("/siteall/"));
    hooks.builtInUpdate = BuiltIn(origin.build.updateUrl, QStringLiteral("/version/main.txt"));
    const QString current = m_controls.list->currentText();
    hooks.testDomain = !current.isEmpty() ? current
        : m_controls.list->count() > 0    ? m_controls.list->item(0)->text()
                                          : QStringLiteral("example.com");
    hooks.test = [this](const ServiceSettings &settings, const QString &domain) {
        return TestConnection(m_services->preview(settings), domain);
    };
    hooks.whyNotNow = [run = m_controls.run] {
        return run->running() ? QStringLiteral("查询进行中，结束后才能应用") : QString();
    };
    ServicesDialog dialog(std::move(hooks), m_controls.window);
    connect(m_controls.run, &RunController::runStateChanged, &dialog,
            &ServicesDialog::refreshApply);
    m_platform.dialogs.exec(dialog);
    if (!dialog.chosen() || m_controls.run->running())
        return;
    if (!m_services->save(*dialog.chosen()))
        m_platform.boxes.show(m_controls.window,
                              QStringLiteral("无法保存服务设置：%1\r\n新的设置只用于这次运行。")
                                  .arg(QDir::toNativeSeparators(origin.settingsFile)),
                              platform::BoxIcon::Warning, kBoxTitle);
    QString problem;
    const AppSettings services = m_services->ready(*dialog.chosen(), &problem);
    if (!problem.isEmpty())
        m_platform.boxes.show(m_controls.window, problem, platform::BoxIcon::Warning, kBoxTitle);
    m_hooks.apply(services);
}
