#include "ServicesDialog.h"

#include "ServiceAddress.h"
#include "ui_ServicesDialog.h"

#include <QPointer>
#include <QPushButton>

namespace {

QString Note(const QString &fromCommandLine, const QString &builtIn)
{
    if (!fromCommandLine.isEmpty())
        return QStringLiteral("本次启动由命令行指定：%1（这里保存的地址下次启动时生效）")
            .arg(fromCommandLine);
    return QStringLiteral("留空：%1").arg(builtIn);
}

} // namespace

ServicesDialog::ServicesDialog(Hooks hooks, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::ServicesDialog>())
    , m_hooks(std::move(hooks))
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("ServicesDialog"));
    const ServiceSettings &saved = m_hooks.saved;
    ui->statsUrl->setText(saved.statsBase);
    ui->updateUrl->setText(saved.updateBase);
    ui->statsNote->setText(Note(m_hooks.statsFromCommandLine, m_hooks.builtInStats));
    ui->updateNote->setText(Note(m_hooks.updateFromCommandLine, m_hooks.builtInUpdate));
    ui->proxyEnvironment->setChecked(saved.proxy == ServiceSettings::Proxy::FromEnvironment);
    ui->proxyNone->setChecked(saved.proxy == ServiceSettings::Proxy::None);
    ui->proxyManual->setChecked(saved.proxy == ServiceSettings::Proxy::Manual);
    ui->proxyHost->setText(saved.proxyHost);
    if (saved.proxyPort > 0)
        ui->proxyPort->setValue(saved.proxyPort);
    const auto manualShown = [this] {
        ui->proxyHost->setEnabled(ui->proxyManual->isChecked());
        ui->proxyPort->setEnabled(ui->proxyManual->isChecked());
    };
    connect(ui->proxyManual, &QRadioButton::toggled, this, manualShown);
    manualShown();
    ui->testDomain->setText(m_hooks.testDomain);
    ui->buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(ui->testConnection, &QPushButton::clicked, this, &ServicesDialog::runTest);
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &ServicesDialog::apply);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    refreshApply();
}

ServicesDialog::~ServicesDialog() = default;

void ServicesDialog::refreshApply()
{
    QPushButton *ok = ui->buttons->button(QDialogButtonBox::Ok);
    const QString why = m_hooks.whyNotNow ? m_hooks.whyNotNow() : QString();
    ok->setEnabled(why.isEmpty());
    ok->setText(why.isEmpty() ? QStringLiteral("应用") : QStringLiteral("应用（%1）").arg(why));
}

std::optional<ServiceSettings> ServicesDialog::read(QString *problem) const
{
    ServiceSettings settings;
    const struct
    {
        QLineEdit *edit;
        QString what;
        QString *base;
    } addresses[] = { { ui->statsUrl, QStringLiteral("网站统计服务地址"), &settings.statsBase },
                      { ui->updateUrl, QStringLiteral("更新服务地址"), &settings.updateBase } };
    for (const auto &address : addresses) {
        const QString typed = address.edit->text().trimmed();
        *address.base = ServiceBase(typed);
        if (!typed.isEmpty() && address.base->isEmpty()) {
            *problem = address.what + QStringLiteral("：") + NotAServiceAddress(typed);
            return std::nullopt;
        }
    }
    settings.proxy = ui->proxyNone->isChecked() ? ServiceSettings::Proxy::None
        : ui->proxyManual->isChecked()          ? ServiceSettings::Proxy::Manual
                                                : ServiceSettings::Proxy::FromEnvironment;
    if (settings.proxy == ServiceSettings::Proxy::Manual) {
        settings.proxyHost = ui->proxyHost->text().trimmed();
        settings.proxyPort = ui->proxyPort->value();
    }
    *problem = settings.problem();
    if (!problem->isEmpty())
        return std::nullopt;
    return settings;
}

void ServicesDialog::runTest()
{
    QString problem;
    const std::optional<ServiceSettings> settings = read(&problem);
    ui->problem->setText(problem);
    if (!settings || !m_hooks.test)
        return;
    ui->testConnection->setEnabled(false);
    ui->testResult->setText(QStringLiteral("正在测试连接…"));
    QPointer<ServicesDialog> alive(this);
    const QString said = m_hooks.test(*settings, ui->testDomain->text().trimmed());
    if (!alive)
        return; // closed while the services were asked
    ui->testResult->setText(said);
    ui->testConnection->setEnabled(true);
}

void ServicesDialog::apply()
{
    QString problem;
    m_chosen = read(&problem);
    ui->problem->setText(problem);
    if (m_chosen)
        accept();
}
