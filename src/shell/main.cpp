#include "AppSettings.h"
#include "Form1.h"
#include "Platform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Form1 form(AppSettings::fromBuild(), platform::SystemPlatform());
    form.show();
    return app.exec();
}
