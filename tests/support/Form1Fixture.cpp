#include "Form1Fixture.h"

#include "ListBox.h"
#include "StatusBar.h"

#include <QFile>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

Form1Fixture::Form1Fixture(bool show, const QString &programDir, const QString &host)
{
    if (!server.listen())
        qFatal("cannot listen on loopback");
    settings = AppSettings::onHost(host.isEmpty() ? server.base() : host);
    settings.programDir = programDir.isEmpty() ? dir.path() : programDir;
    form = std::make_unique<Form1>(settings, fake.platform);
    if (!show)
        return;
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("the main window was not exposed");
}

Form1Fixture::~Form1Fixture() = default;

platform::ListBox *Form1Fixture::list() const
{
    return find<platform::ListBox>("List1");
}

QTreeWidget *Form1Fixture::table() const
{
    return find<QTreeWidget>("ListView1");
}

platform::StatusBar *Form1Fixture::status() const
{
    return find<platform::StatusBar>("s1");
}

QPushButton *Form1Fixture::button(const char *name) const
{
    return find<QPushButton>(name);
}

void Form1Fixture::serveCounts(const QString &domain, const QStringList &counts, int delayMs)
{
    ScriptedHttpServer::Reply reply;
    reply.body = StatisticsPageWith(counts);
    reply.delayMs = delayMs;
    server.setReply("/siteall/" + domain.toUtf8(), reply);
}

QString Form1Fixture::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void Form1Fixture::importFile(const QString &path)
{
    fake.files.answers << path;
    click("Command1");
}

void Form1Fixture::importLines(const QStringList &lines)
{
    static int counter = 0;
    importFile(writeFile(QStringLiteral("list%1.txt").arg(++counter), lines.join(u'\n').toUtf8()));
}

void Form1Fixture::importNumberedDomains(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "d" + QByteArray::number(i) + ".com\n";
    importFile(writeFile(QStringLiteral("numbered%1.txt").arg(count), bytes));
}

void Form1Fixture::click(const char *buttonName)
{
    QTest::mouseClick(button(buttonName), Qt::LeftButton);
}

QStringList Form1Fixture::rowTexts(int row) const
{
    QStringList texts;
    if (const QTreeWidgetItem *item = table()->topLevelItem(row)) {
        for (int column = 0; column < 6; ++column)
            texts << item->text(column);
    }
    return texts;
}

int Form1Fixture::requestsFor(const QString &domain) const
{
    const QByteArray path = "/siteall/" + domain.toUtf8();
    int count = 0;
    for (const auto &request : server.requests)
        count += request.path == path ? 1 : 0;
    return count;
}

void Form1Fixture::serveVersionFile(const QByteArray &body, int delayMs)
{
    ScriptedHttpServer::Reply reply;
    reply.body = body;
    reply.contentType = "text/plain; charset=utf-8";
    reply.delayMs = delayMs;
    server.setReply("/version/main.txt", reply);
}
