#include "BenchServices.h"

#include "BenchUtil.h"
#include "FakePlatform.h"
#include "Form1.h"
#include "LoopbackService.h"
#include "ScriptedHttpServer.h"
#include "ServiceSwitch.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

void BenchApplyServices()
{
    QTemporaryDir dir;
    ScriptedHttpServer server;
    server.setReply("/version/main.txt", { 200, "kwtp:V1.0|" });
    platform::LoopbackService sample;
    AppSettings build;
    build.programDir = QCoreApplication::applicationDirPath();
    ServiceSwitch services(
        { build,
          {},
          {},
          QCoreApplication::applicationDirPath() + QStringLiteral("/varnel-standin"),
          dir.filePath(QStringLiteral("settings.conf")) },
        sample);
    FakePlatform fake;
    Form1 form(services.ready(services.saved()), fake.platform, &services);
    form.show();
    QCoreApplication::processEvents();
    auto *start = form.findChild<QPushButton *>(QStringLiteral("Command2"));
    for (const QString &address : { server.base(), QString() }) {
        fake.onOpen = [&address](QDialog &dialog) {
            for (const char *field : { "statsUrl", "updateUrl" })
                dialog.findChild<QLineEdit *>(QLatin1String(field))->setText(address);
            dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        };
        const double rssBefore = PeakRssMiB();
        QElapsedTimer clock;
        clock.start();
        form.openServiceSettings();
        QCoreApplication::processEvents(); // the title and menus redrawn
        std::printf("服务设置 applied, %s: %.1f ms until the update check passed (%s); peak RSS "
                    "+%.1f MiB\n",
                    address.isEmpty() ? "back to the sample service (started)"
                                      : "sample service to a named one (ended)",
                    clock.nsecsElapsed() / 1e6, start->isEnabled() ? "passed" : "NOT passed",
                    PeakRssMiB() - rssBefore);
    }
}
