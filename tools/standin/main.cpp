// Stand-in for the site-statistics service and the update server, on loopback only.
//   varnel-standin [--port N] [--feed-version TEXT] [--data FILE] [--slow-ms N]
//                  [--version-delay-ms N] [--version] [--help]
#include "SitePages.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFuture>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QThread>
#include <QtConcurrent>
#include <cstdio>

namespace {

const QByteArray kHtml = QByteArrayLiteral("text/html; charset=utf-8");

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varnel-standin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNEL_VERSION));
    QCommandLineParser parser;
    const QString description = QStringLiteral(
        "Varnel网站收录批量查询器的示例服务：在127.0.0.1上提供网站统计页面/siteall/<域名>"
        "（数据来自示例文件，文件中没有的域名得到没有收录数量的页面）和版本文件"
        "/version/main.txt。启动后在标准输出上打印所监听的地址。");
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") },
                                  QStringLiteral("显示本帮助并退出。"));
    const QCommandLineOption showVersion({ QStringLiteral("v"), QStringLiteral("version") },
                                         QStringLiteral("显示版本并退出。"));
    parser.addOptions({ help, showVersion });
    parser.addOption({ QStringLiteral("port"),
                       QStringLiteral("监听的端口，默认18080；0表示由系统挑选一个空闲端口。"),
                       QStringLiteral("port"), QStringLiteral("18080") });
    parser.addOption({ QStringLiteral("feed-version"),
                       QStringLiteral("版本文件中的版本号，默认V1.0。"), QStringLiteral("text"),
                       QStringLiteral("V1.0") });
    parser.addOption(
        { QStringLiteral("data"),
          QStringLiteral("收录数量的数据文件，默认为程序目录中的sample-counts.tsv"
                         "（每行：域名、四个数量，以制表符分隔）。"),
          QStringLiteral("file"),
          QCoreApplication::applicationDirPath() + QStringLiteral("/sample-counts.tsv") });
    parser.addOption({ QStringLiteral("version-delay-ms"),
                       QStringLiteral("回答版本文件之前等待的毫秒数，默认0。"),
                       QStringLiteral("ms"), QStringLiteral("0") });
    parser.addOption({ QStringLiteral("slow-ms"),
                       QStringLiteral("慢速示例域名slow.example.com回答前等待的毫秒数，默认5000。"),
                       QStringLiteral("ms"), QStringLiteral("5000") });
    parser.process(app);
    if (parser.isSet(help)) {
        // Qt's own headings are English; the options' lines after them are kept as Qt lays
        // them out.
        const QString options = parser.helpText().section(QStringLiteral("\n\n"), 1);
        std::printf("用法：varnel-standin [选项]\n%s\n\n选项：%s", qPrintable(description),
                    qPrintable(options.mid(options.indexOf(u'\n'))));
        return 0;
    }
    if (parser.isSet(showVersion)) {
        std::printf("varnel-standin %s\n", VARNEL_VERSION);
        return 0;
    }

    QFile dataFile(parser.value(QStringLiteral("data")));
    if (!dataFile.open(QIODevice::ReadOnly)) {
        qCritical("cannot read %s", qPrintable(dataFile.fileName()));
        return 1;
    }
    const standin::CountTable counts = standin::ReadCountTable(dataFile.readAll());
    const QString version = parser.value(QStringLiteral("feed-version"));
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
                         // A domain the sample data lacks has no counts: never invent zeros.
                         if (domain == standin::kNoLabelDomain || !counts.contains(domain))
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
