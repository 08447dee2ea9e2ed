#pragma once

#include "ServiceSettings.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class ServicesDialog;
}

// 服务设置…: the statistics and update services' addresses and the proxy, a connection test,
// and 应用, which keeps the settings only when they can be used.
class ServicesDialog : public QDialog
{
    Q_OBJECT
public:
    struct Hooks
    {
        ServiceSettings saved;
        // Addresses the command line named for this start (they win over the saved ones).
        QString statsFromCommandLine;
        QString updateFromCommandLine;
        // What an empty address means.
        QString builtInStats;
        QString builtInUpdate;
        QString testDomain; // prefilled: the list's current entry
        // Asks the services as set in the dialog; says what came back.
        std::function<QString(const ServiceSettings &, const QString &domain)> test;
        // Why new settings cannot be applied now (a run goes on); empty when they can.
        std::function<QString()> whyNotNow;
    };

    ServicesDialog(Hooks hooks, QWidget *parent = nullptr);
    ~ServicesDialog() override;

    // The settings 应用 accepted; none when the dialog was cancelled.
    const std::optional<ServiceSettings> &chosen() const { return m_chosen; }
    // Whether 应用 can be pressed now; its caption says why not.
    void refreshApply();

private:
    // The settings as the dialog shows them, or why they cannot be used.
    std::optional<ServiceSettings> read(QString *problem) const;
    void runTest();
    void apply();

    std::unique_ptr<Ui::ServicesDialog> ui;
    Hooks m_hooks;
    std::optional<ServiceSettings> m_chosen;
};
