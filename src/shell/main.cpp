#include "AppSettings.h"
#include "CommandLine.h"
#include "Form1.h"
#include "LoopbackService.h"
#include "Platform.h"
#include "ServiceSwitch.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

int main(int argc, char *argv[])
{
    const CommandLine line = HandleCommandLine(argc, argv);
    if (line.exitStatus)
        return *line.exitStatus;
    platform::LoopbackService sample;
    // The sample service lies beside the program; asked once the application exists.
    const auto standin
        = [] { return QCoreApplication::applicationDirPath() + QStringLiteral("/varnel-standin"); };
    const auto switchOf = [&line, &sample, &standin] {
        AppSettings build = AppSettings::fromBuild();
        build.historyFile = HistoryFileOf(line);
        return ServiceSwitch(
            { build, line.statsUrl, line.updateUrl, standin(), UserSettingsFile() }, sample);
    };

    if (line.batch) {
        QCoreApplication app(argc, argv); // no window system at all
        SetApplicationNames();
        ServiceSwitch services = switchOf();
        BatchOptions options = *line.batch;
        const AppSettings settings = services.ready(services.saved(), &options.serviceProblem);
        return RunBatch(options, settings, stdout, stderr, &sample);
    }

    QApplication app(argc, argv);
    SetApplicationNames();
    // The standard dialogs and boxes speak the same language as the rest of the program, with
    // Chinese number and date formats whatever the system locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QTranslator qtChinese;
    if (qtChinese.load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtChinese);
    ServiceSwitch services = switchOf();
    Form1 form(services.ready(services.saved()), platform::SystemPlatform(), &services);
    sample.setEndedHandler([&form] { form.sampleServiceEnded(); });
    // Start-up runs inside the event loop, so that ending the program from it ends the loop.
    QTimer::singleShot(0, &form, [&form, &line] {
        QPointer<Form1> alive(&form);
        form.Load();
        // The desktop action's way in: the settings once the start-up is done.
        if (alive && line.serviceSettings)
            form.openServiceSettings();
    });
    // A list named on the command line ("Open with"), once the window shows; one list at a time.
    if (!line.listFiles.isEmpty())
        QTimer::singleShot(0, &form,
                           [&form, &line] { form.openList(line.listFiles.constFirst()); });
    for (const QString &other : line.listFiles.mid(1))
        std::fprintf(stderr, "一次只能打开一个列表，未打开：%s\n", qPrintable(other));
    return app.exec();
}
