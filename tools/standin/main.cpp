// Stand-in for the site-statistics service and the update server, on loopback only.
//   varnel-standin [--port N] [--version TEXT] [--data FILE] [--slow-ms N] [--version-delay-ms N]
#include "SitePages.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFuture>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QThread>
#include <QtConcurrent>

namespace {

const QByteArray kHtml = QByteArrayLiteral("text/html; charset=utf-8");

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Local stand-in for the statistics and update services"));
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1."),
                       QStringLiteral("port"), QStringLiteral("18080") });
    parser.addOption({ QStringLiteral("version"), QStringLiteral("Version in the version file."),
                       QStringLiteral("text"), QStringLiteral("V1.0") });
    parser.addOption(
        { QStringLiteral("data"), QStringLiteral("Counts file."), QStringLiteral("file"),
          QCoreApplication::applicationDirPath() + QStringLiteral("/sample-counts.tsv") });
    parser.addOption({ QStringLiteral("version-delay-ms"),
                       QStringLiteral("Delay before the version file is answered."),
                       QStringLiteral("ms"), QStringLiteral("0") });
    parser.addOption({ QStringLiteral("slow-ms"), QStringLiteral("Delay of the slow domain."),
                       QStringLiteral("ms"), QStringLiteral("5000") });
    parser.process(app);

    QFile dataFile(parser.value(QStringLiteral("data")));
    if (!dataFile.open(QIODevice::ReadOnly)) {
        qCritical("cannot read %s", qPrintable(dataFile.fileName()));
        return 1;
    }
    const standin::CountTable counts = standin::ReadCountTable(dataFile.readAll());
    const QString version = parser.value(QStringLiteral("version"));
    const int slowMs = parser.value(QStringLiteral("slow-ms")).toInt();
    const int versionDelayMs = parser.value(QStringLiteral("version-delay-ms")).toInt();

    QHttpServer server;
    server.route(QStringLiteral("/siteall/<arg>"),
                 [&counts, slowMs](const QString &domain) -> QFuture<QHttpServerResponse> {
                     if (domain == standin::kSlowDomain) {
                         const QStringList row = counts.value(domain);
                         return QtConcurrent::run([domain, row, slowMs] {
                             QThread::msleep(slowMs);
                             return QHttpServerResponse(kHtml,
                                                        standin::StatisticsPage(domain, row));
                         });
                     }
                     QHttpServerResponse response = [&] {
                         if (domain == standin::kMissingDomain)
                             return QHttpServerResponse(kHtml, standin::NotFoundPage(domain),
                                                        QHttpServerResponse::StatusCode::NotFound);
                         if (domain == standin::kNoLabelDomain)
                             return QHttpServerResponse(kHtml, standin::PageWithoutLabel(domain));
                         return QHttpServerResponse(
                             kHtml, standin::StatisticsPage(domain, counts.value(domain)));
                     }();
                     return QtFuture::makeReadyFuture(std::move(response));
                 });
    server.route(QStringLiteral("/version/main.txt"),
                 [version, versionDelayMs]() -> QFuture<QHttpServerResponse> {
                     return QtConcurrent::run([version, versionDelayMs] {
                         QThread::msleep(versionDelayMs);
                         return QHttpServerResponse(QByteArrayLiteral("text/plain; charset=utf-8"),
                                                    standin::VersionFile(version));
                     });
                 });
    server.route(QStringLiteral("/"),
                 [] { return QHttpServerResponse(kHtml, standin::HomePage()); });

    const quint16 port = parser.value(QStringLiteral("port")).toUShort();
    const quint16 bound = server.listen(QHostAddress::LocalHost, port);
    if (bound == 0) {
        qCritical("cannot listen on 127.0.0.1:%u", port);
        return 1;
    }
    // Scripts wait for this line before they go on.
    printf("varnel-standin listening on http://127.0.0.1:%u\n", bound);
    fflush(stdout);
    return app.exec();
}
