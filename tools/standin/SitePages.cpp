#include "SitePages.h"

namespace standin {

CountTable ReadCountTable(const QByteArray &data)
{
    CountTable table;
    const QList<QByteArray> lines = data.split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        const QString domain = fields.takeFirst();
        while (fields.size() < 4)
            fields << QString();
        table.insert(domain, fields.mid(0, 4));
    }
    return table;
}

namespace {

QByteArray Page(const QString &domain, const QString &table)
{
    return QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                          "<title>%1 - 网站综合查询</title></head>\n<body>\n"
                          "<h1>%1 的收录情况</h1>\n%2\n<p class=\"foot\">本数据仅供参考</p>\n"
                          "</body></html>\n")
        .arg(domain.toHtmlEscaped(), table)
        .toUtf8();
}

} // namespace

QByteArray StatisticsPage(const QString &domain, const QStringList &counts)
{
    static const QStringList engines { QStringLiteral("baidu"), QStringLiteral("google"),
                                       QStringLiteral("so"), QStringLiteral("sogou") };
    QString table = QStringLiteral("<table class=\"info\">\n<tr><td class=\"t\">搜索引擎</td>"
                                   "<td>百度</td><td>Google</td><td>360</td><td>Sogou</td></tr>\n"
                                   "<tr><td class=\"t\">收录数量</td>");
    for (int k = 0; k < 4; ++k) {
        table += QStringLiteral("<td class=\"n\"><a href=\"/%1/%2\" target=\"_blank\">%3</a></td>")
                     .arg(engines.at(k), domain.toHtmlEscaped(), counts.value(k).toHtmlEscaped());
    }
    table += QStringLiteral("</tr>\n<tr><td class=\"t\">反链数量</td><td>-</td><td>-</td>"
                            "<td>-</td><td>-</td></tr>\n</table>");
    return Page(domain, table);
}

QByteArray PageWithoutLabel(const QString &domain)
{
    return Page(domain, QStringLiteral("<p>暂无该网站的收录数据</p>"));
}

QByteArray NotFoundPage(const QString &domain)
{
    return Page(domain, QStringLiteral("<p>404 页面不存在</p>"));
}

QByteArray VersionFile(const QString &version)
{
    return QStringLiteral("# Varnel update feed\nproduct=Varnel网站收录批量查询器\nkwtp:%1|\n"
                          "notes:bug fixes|\n")
        .arg(version)
        .toUtf8();
}

QByteArray HomePage()
{
    return Page(QStringLiteral("Varnel"), QStringLiteral("<p>本地替身站点</p>"));
}

} // namespace standin
