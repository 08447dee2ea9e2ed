#include "AppSettings.h"
#include "CommandLine.h"
#include "Form1.h"
#include "Platform.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

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
    Form1 form(AppSettings::fromBuild().withServices(line.statsUrl, line.updateUrl),
               platform::SystemPlatform());
    // Start-up runs inside the event loop, so that ending the program from it ends the loop.
    QTimer::singleShot(0, &form, &Form1::Load);
    return app.exec();
}
