#include "CommandLine.h"

#include "AppSettings.h"
#include "ServiceAddress.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>
#include <unistd.h>

namespace {

// The toolkit's own options, read by the window system later on: those that take a value, then
// the flags.
constexpr const char *kQtValueOptions[] = { "platform",      "platformpluginpath",
                                            "platformtheme", "plugin",
                                            "qmljsdebugger", "qwindowgeometry",
                                            "qwindowicon",   "qwindowtitle",
                                            "session",       "sm",
                                            "display",       "geometry",
                                            "name",          "title",
                                            "visual",        "ncols",
                                            "cmap",          "style",
                                            "stylesheet" };
constexpr const char *kQtFlags[] = { "reverse", "widgetcount", "nograb", "dograb", "sync" };

// `--<name> URL`; `builtIn` is the full address the build names, or empty.
QCommandLineOption ServiceOption(const QString &name, const QString &what, const QString &path,
                                 const QString &builtIn)
{
    const QString fallback = builtIn.isEmpty()
        ? QStringLiteral("程序自带的示例服务（示例数据）")
        : builtIn.left(builtIn.size() - path.section(u'<', 0, 0).size());
    return QCommandLineOption(
        name,
        QStringLiteral("%1的地址（http或https，可带端口和路径前缀），程序在其后加上%2。默认：%3")
            .arg(what, path, fallback),
        QStringLiteral("URL"));
}

const QString kDescription = QStringLiteral(
    "Varnel网站收录批量查询器：批量查询域名在百度、Google、360和Sogou的收录数量。\n"
    "打开窗口时导入列表文件LIST（如有）。\n"
    "批量模式（--batch）不开窗口，把结果以CSV写到标准输出或--output指定的文件。\n"
    "指定的服务经环境变量所指的代理访问：http用http_proxy（只认小写），https用https_proxy"
    "或HTTPS_PROXY，其余用all_proxy或ALL_PROXY，no_proxy或NO_PROXY列出不经代理的主机；"
    "程序自带的示例服务总是直接访问。\n"
    "\n"
    "退出状态：\n"
    "  0    每个查询的域名都有结果\n"
    "  1    至少一行失败\n"
    "  2    用法错误\n"
    "  3    检测更新失败或版本不同\n"
    "  4    文件无法读取或写入\n"
    "  130  被Ctrl+C中断\n"
    "  143  被SIGTERM中断");

// The help as a reader of Chinese expects it: Qt's own wraps by characters, not by their width
// on the screen, and only at blanks, which Chinese text has none of.
int DisplayWidth(QChar c)
{
    return c.unicode() >= 0x1100 && c.script() != QChar::Script_Latin ? 2 : 1;
}

QString Wrapped(const QString &text, int indent, int width)
{
    QString out;
    int column = indent;
    for (const QChar c : text) {
        if (column + DisplayWidth(c) > width) {
            out += u'\n' + QString(indent, u' ');
            column = indent;
            if (c == u' ')
                continue;
        }
        out += c;
        column += DisplayWidth(c);
    }
    return out;
}

// Wrapped for a terminal only (80 columns, or $COLUMNS): a manual page made from the help
// breaks its own lines, and a line break in Chinese text would become a blank there.
int HelpWidth()
{
    const int columns = qEnvironmentVariableIntValue("COLUMNS");
    return columns > 40 ? columns : ::isatty(STDOUT_FILENO) ? 80 : 1 << 20;
}

QString HelpText(const QList<QCommandLineOption> &options)
{
    constexpr int kNames = 22;
    const int width = HelpWidth();
    QString text
        = QStringLiteral("用法：%1 [选项] [LIST]\n").arg(QCoreApplication::applicationName());
    for (const QString &line : kDescription.split(u'\n'))
        text += Wrapped(line, 0, width) + u'\n';
    text += QStringLiteral("\n选项：\n");
    for (const QCommandLineOption &option : options) {
        QStringList names;
        for (const QString &name : option.names())
            names << QLatin1String(name.size() == 1 ? "-" : "--") + name;
        QString line = QStringLiteral("  ") + names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            line += QStringLiteral(" <%1>").arg(option.valueName());
        line = line.size() + 2 > kNames ? line + u'\n' + QString(kNames, u' ')
                                        : line.leftJustified(kNames);
        text += line + Wrapped(option.description(), kNames, width) + u'\n';
    }
    return text;
}

} // namespace

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

namespace {

// The program's own options, in the order --help lists them.
struct OwnOptions
{
    QCommandLineOption help, version, stats, update, batch, pace, output, resume, compareLast,
        historyFile, noHistory, serviceSettings;
    QList<QCommandLineOption> all() const
    {
        return { help,   version, stats,       update,      batch,     pace,
                 output, resume,  compareLast, historyFile, noHistory, serviceSettings };
    }
};

OwnOptions MakeOwnOptions(const AppSettings &build)
{
    // Our own help and version options: Qt's describe themselves in English.
    return {
        { { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("显示本帮助并退出。") },
        { { QStringLiteral("v"), QStringLiteral("version") }, QStringLiteral("显示版本并退出。") },
        ServiceOption(QStringLiteral("stats-url"), QStringLiteral("网站统计服务"),
                      QStringLiteral("/siteall/<域名>"), build.statsBase),
        ServiceOption(QStringLiteral("update-url"), QStringLiteral("更新服务器"),
                      QStringLiteral("/version/main.txt"), build.updateUrl),
        { QStringLiteral("batch"), QStringLiteral("不开窗口，查询列表文件LIST中的域名。"),
          QStringLiteral("LIST") },
        { QStringLiteral("pace"), QStringLiteral("批量模式每个域名的秒数，2到60的整数，默认2。"),
          QStringLiteral("SECONDS") },
        { QStringLiteral("output"),
          QStringLiteral("批量模式把结果逐行追加到CSV文件FILE（新文件先写表头）；"
                         "FILE以.xlsx结尾时，结束时写出Excel工作簿。"),
          QStringLiteral("FILE") },
        { QStringLiteral("resume"),
          QStringLiteral("与--output同用：文件中已有收录数量的域名不再查询，新行接着编号追加。") },
        { QStringLiteral("compare-last"),
          QStringLiteral("批量模式结束后，把本次查询与历史中的上一次查询的比较（每个引擎的前后"
                         "数量、变化和变化百分比，新增、消失、新失败和恢复的域名）写入CSV文件"
                         "FILE。"),
          QStringLiteral("FILE") },
        { QStringLiteral("history-file"),
          QStringLiteral("把每次查询的结果记入历史文件PATH（SQLite）。默认：用户数据文件夹中的"
                         "history.sqlite（~/.local/share/Varnel/varnel-index-query/）。"),
          QStringLiteral("PATH") },
        { QStringLiteral("no-history"), QStringLiteral("本次运行不记录历史。") },
        { QStringLiteral("service-settings"),
          QStringLiteral("打开窗口后先显示“服务设置”（网站统计服务、更新服务和代理，按用户保存在"
                         "~/.config/Varnel/varnel-index-query.conf，批量模式也用）。") },
    };
}

// Qt's own options pass to the toolkit unlisted.
void AddQtOptions(QCommandLineParser &parser)
{
    for (const char *name : kQtValueOptions) {
        QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const char *name : kQtFlags) {
        QCommandLineOption qtFlag(QString::fromLatin1(name));
        qtFlag.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtFlag);
    }
}

CommandLine Refused(const QString &why)
{
    CommandLine refused;
    refused.exitStatus = 2;
    refused.output = why + QStringLiteral("\n用 --help 查看用法。\n");
    return refused;
}

// Each Read… takes its options into `result`; it returns why they are refused, or nothing.
QString ReadServices(const QCommandLineParser &parser, const OwnOptions &own, CommandLine &result)
{
    for (const QCommandLineOption &service : { own.stats, own.update }) {
        if (!parser.isSet(service))
            continue;
        const QString base = ServiceBase(parser.value(service));
        if (base.isEmpty())
            return QStringLiteral("--%1: ").arg(service.names().constFirst())
                + NotAServiceAddress(parser.value(service));
        (service.names() == own.stats.names() ? result.statsUrl : result.updateUrl) = base;
    }
    return {};
}

QString ReadBatch(const QCommandLineParser &parser, const OwnOptions &own, CommandLine &result)
{
    if (!parser.isSet(own.batch)) {
        if (parser.isSet(own.pace) || parser.isSet(own.output) || parser.isSet(own.resume)
            || parser.isSet(own.compareLast))
            return QStringLiteral("--pace、--output、--resume和--compare-last只用于--batch");
        return {};
    }
    BatchOptions options;
    options.list = parser.value(own.batch);
    if (parser.isSet(own.pace)) {
        bool whole = false;
        const int seconds = parser.value(own.pace).toInt(&whole);
        if (!whole || seconds < 2 || seconds > 60)
            return QStringLiteral("--pace: 须为2到60的整数秒：\"%1\"").arg(parser.value(own.pace));
        options.paceMs = seconds * 1000;
    }
    options.output = parser.value(own.output);
    options.resume = parser.isSet(own.resume);
    options.compareLast = parser.value(own.compareLast);
    if (options.resume && options.output.isEmpty())
        return QStringLiteral("--resume须与--output同用");
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("多余的参数：%1").arg(parser.positionalArguments().constFirst());
    result.batch = options;
    return {};
}

QString ReadTheRest(const QCommandLineParser &parser, const OwnOptions &own, CommandLine &result)
{
    if (parser.isSet(own.historyFile) && parser.isSet(own.noHistory))
        return QStringLiteral("--history-file和--no-history不能同用");
    if (parser.isSet(own.historyFile) && parser.value(own.historyFile).isEmpty())
        return QStringLiteral("--history-file: 须指定文件");
    result.historyFile = parser.value(own.historyFile);
    result.noHistory = parser.isSet(own.noHistory);
    if (parser.isSet(own.serviceSettings) && result.batch)
        return QStringLiteral("--service-settings不能与--batch同用");
    result.serviceSettings = parser.isSet(own.serviceSettings);
    result.listFiles = parser.positionalArguments();
    return {};
}

} // namespace

CommandLine ParseCommandLine(const QStringList &arguments)
{
    const OwnOptions own = MakeOwnOptions(AppSettings::fromBuild());
    QCommandLineParser parser;
    // Qt's own options come with one dash ("-platform xcb"), as do -h and -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(own.all());
    AddQtOptions(parser);
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        return Refused(unknown.isEmpty()
                           ? parser.errorText()
                           : QStringLiteral("未知选项：%1")
                                 .arg(QLatin1String(unknown.constFirst().size() == 1 ? "-" : "--")
                                      + unknown.constFirst()));
    }
    CommandLine result;
    for (const auto read : { ReadServices, ReadBatch, ReadTheRest }) {
        if (const QString why = read(parser, own, result); !why.isEmpty())
            return Refused(why);
    }
    if (parser.isSet(own.help)) {
        result.exitStatus = 0;
        result.output = HelpText(own.all());
    } else if (parser.isSet(own.version)) {
        result.exitStatus = 0;
        result.output = QCoreApplication::applicationName() + u' '
            + QCoreApplication::applicationVersion() + u'\n';
    }
    return result;
}

QString HistoryFileOf(const CommandLine &line)
{
    if (line.noHistory)
        return {};
    if (!line.historyFile.isEmpty())
        return line.historyFile;
    // Qt would take "/" for a missing home and keep the history in /.local/share.
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    const QString home = qEnvironmentVariable("HOME");
    if (!QDir::isAbsolutePath(dataHome)
        && (!QDir::isAbsolutePath(home) || QDir::cleanPath(home) == QLatin1String("/")
            || !QFileInfo(home).isDir())) {
        std::fprintf(stderr, "没有可用的主目录（HOME未设置或不存在），本次不保存历史记录。\n");
        return {};
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
        + QStringLiteral("/history.sqlite");
}

CommandLine HandleCommandLine(int argc, char *argv[])
{
    QCoreApplication core(argc, argv); // no window system yet
    SetApplicationNames();
    const CommandLine line = ParseCommandLine(core.arguments());
    if (line.exitStatus)
        std::fprintf(*line.exitStatus == 0 ? stdout : stderr, "%s", qPrintable(line.output));
    return line;
}
