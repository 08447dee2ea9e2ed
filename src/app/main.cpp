#include "AppSettings.h"
#include "CommandLine.h"
#include "DesktopStart.h"
#include "Form1.h"
#include "LoopbackService.h"
#include "Platform.h"
#include "ServiceSwitch.h"
#include "SingleInstance.h"

#include <QApplication>
#include <QFileInfo>
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

    QStringList arguments;
    for (int at = 0; at < argc; ++at)
        arguments << QString::fromLocal8Bit(argv[at]);
    if (const QString problem = NoDisplayProblem(ChosenPlatform(arguments)); !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    NeverAutolaunchSessionBus();
    QApplication app(argc, argv);
    SetApplicationNames();
    for (const QString &other : line.listFiles.mid(1))
        std::fprintf(stderr, "一次只能打开一个列表，未打开：%s\n", qPrintable(other));
    // A window already open on this display takes over: raised, with the list named.
    platform::SingleInstance instance(
        platform::SingleInstance::socketFor(QGuiApplication::platformName()));
    const QString handed = line.serviceSettings ? QStringLiteral("--service-settings")
        : line.listFiles.isEmpty()              ? QString()
                                   : QFileInfo(line.listFiles.constFirst()).absoluteFilePath();
    if (instance.handOver(handed))
        return 0;
    instance.listen();
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
    QObject::connect(&instance, &platform::SingleInstance::asked, &form,
                     [&form](const QString &request) {
                         if (request == QLatin1String("--service-settings")) {
                             form.takeHandedFile({});
                             form.openServiceSettings();
                         } else {
                             form.takeHandedFile(request);
                         }
                     });
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
    return app.exec();
}
