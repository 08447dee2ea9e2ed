#include "AppSettings.h"
#include "CommandLine.h"
#include "Form1.h"
#include "LoopbackService.h"
#include "Platform.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

int main(int argc, char *argv[])
{
    const CommandLine line = HandleCommandLine(argc, argv);
    if (line.exitStatus)
        return *line.exitStatus;

    QApplication app(argc, argv);
    SetApplicationNames();
    // The standard dialogs and boxes speak the same language as the rest of the program, with
    // Chinese number and date formats whatever the system locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QTranslator qtChinese;
    if (qtChinese.load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtChinese);
    AppSettings settings = AppSettings::fromBuild().withServices(line.statsUrl, line.updateUrl);
    // Services named neither at build nor at run time: the sample service that comes with the
    // program stands in for them, on a port the system picks, for as long as the program runs.
    platform::LoopbackService sample;
    if (settings.statsBase.isEmpty() || settings.updateUrl.isEmpty()) {
        QString error;
        const QString host = sample.start(
            QCoreApplication::applicationDirPath() + QStringLiteral("/varnel-standin"),
            { QStringLiteral("--port"), QStringLiteral("0") }, &error);
        if (host.isEmpty())
            std::fprintf(stderr, "示例服务无法启动：%s\n", qPrintable(error));
        settings = settings.withSampleService(host);
    }
    Form1 form(settings, platform::SystemPlatform());
    // Start-up runs inside the event loop, so that ending the program from it ends the loop.
    QTimer::singleShot(0, &form, &Form1::Load);
    return app.exec();
}
