#include "AppSettings.h"
#include "CommandLine.h"
#include "Form1.h"
#include "LoopbackService.h"
#include "Platform.h"
#include "ServicesReady.h"

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
    AppSettings named = AppSettings::fromBuild().withServices(line.statsUrl, line.updateUrl);
    platform::LoopbackService sample;
    // The sample service lies beside the program; asked once the application exists.
    const auto standin
        = [] { return QCoreApplication::applicationDirPath() + QStringLiteral("/varnel-standin"); };

    if (line.batch) {
        QCoreApplication app(argc, argv); // no window system at all
        SetApplicationNames();
        named.historyFile = HistoryFileOf(line);
        BatchOptions options = *line.batch;
        const AppSettings settings
            = ServicesReady(named, sample, standin(), &options.serviceProblem);
        return RunBatch(options, settings, stdout, stderr, &sample);
    }

    QApplication app(argc, argv);
    SetApplicationNames();
    named.historyFile = HistoryFileOf(line);
    // The standard dialogs and boxes speak the same language as the rest of the program, with
    // Chinese number and date formats whatever the system locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QTranslator qtChinese;
    if (qtChinese.load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtChinese);
    Form1 form(ServicesReady(named, sample, standin()), platform::SystemPlatform());
    sample.setEndedHandler([&form] { form.sampleServiceEnded(); });
    // Start-up runs inside the event loop, so that ending the program from it ends the loop.
    QTimer::singleShot(0, &form, &Form1::Load);
    // A list named on the command line ("Open with"), once the window shows; one list at a time.
    if (!line.listFiles.isEmpty())
        QTimer::singleShot(0, &form,
                           [&form, &line] { form.openList(line.listFiles.constFirst()); });
    for (const QString &other : line.listFiles.mid(1))
        std::fprintf(stderr, "一次只能打开一个列表，未打开：%s\n", qPrintable(other));
    return app.exec();
}
