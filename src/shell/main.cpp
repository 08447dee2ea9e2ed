#include "AppSettings.h"
#include "Form1.h"
#include "Platform.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The standard dialogs and boxes speak the same language as the rest of the program.
    QTranslator qtChinese;
    if (qtChinese.load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtChinese);
    Form1 form(AppSettings::fromBuild(), platform::SystemPlatform());
    // Start-up runs inside the event loop, so that ending the program from it ends the loop.
    QTimer::singleShot(0, &form, &Form1::Load);
    return app.exec();
}
