#include "CommandLine.h"

#include "AppSettings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>

void SetApplicationNames()
{
    const AppSettings build = AppSettings::fromBuild();
    QCoreApplication::setApplicationName(QStringLiteral("varnel-index-query"));
    QCoreApplication::setOrganizationName(QStringLiteral("Varnel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(build.versionMajor)
                                                .arg(build.versionMinor)
                                                .arg(build.versionRevision));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.varnel.IndexQuery"));
}

std::optional<int> HandleCommandLine(int argc, char *argv[])
{
    QCoreApplication core(argc, argv); // no window system yet
    SetApplicationNames();

    QCommandLineParser parser;
    // Qt's own options come with one dash ("-platform xcb"), as do -h and -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Varnel网站收录批量查询器：批量查询域名在百度、Google、360和Sogou的收录数量。"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // The toolkit's own options, which the window system reads later on.
    for (const char *name : { "platform", "display", "style", "stylesheet", "qwindowgeometry" }) {
        QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }

    const bool parsed = parser.parse(core.arguments());
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        const QString error = parsed ? QStringLiteral("Unexpected argument: %1")
                                           .arg(parser.positionalArguments().constFirst())
                                     : parser.errorText();
        std::fprintf(stderr, "%s\n\n%s", qPrintable(error), qPrintable(parser.helpText()));
        return 2;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    return std::nullopt;
}
