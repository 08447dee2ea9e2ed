#include "AppSettings.h"
#include "Form1.h"
#include "Platform.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Form1 form(AppSettings::fromBuild(), platform::SystemPlatform());
    // Start-up runs inside the event loop, so that ending the program from it ends the loop.
    QTimer::singleShot(0, &form, &Form1::Load);
    return app.exec();
}
