#include "Form1Fixture.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QTimer>
#include <QUrl>

Form1Fixture::Form1Fixture(bool show, const QString &programDir,
                           const std::function<void(AppSettings &)> &adjust,
                           ServiceSwitch *services)
{
    settings = AppSettings::onHost(server.base());
    settings.forumUrl += QStringLiteral("/forum");
    settings.serviceUrl += QStringLiteral("/service");
    settings.resourceUrl += QStringLiteral("/resource");
    settings.programDir = programDir.isEmpty() ? dir.path() : programDir;
    if (services)
        settings = services->ready(services->saved());
    if (adjust)
        adjust(settings);
    form = std::make_unique<Form1>(settings, fake.platform, services);
    if (show) {
        button("Command2")->setEnabled(true); // as after a passed update check
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qWarning("the main window was not exposed");
    }
}

namespace {

// The path as the request carries it: the domain as one segment, every byte but letters,
// digits and "-._~" percent-encoded.
QByteArray PagePath(const QString &domain)
{
    return "/siteall/" + QUrl::toPercentEncoding(domain);
}

} // namespace

void StepRunToItsEnd(QWidget &form)
{
    while (form.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive())
        Step(form);
}

std::unique_ptr<Form1Fixture> Form1Fixture::KeepingHistory(const QString &path)
{
    return std::make_unique<Form1Fixture>(
        true, QString(), [=](AppSettings &settings) { settings.historyFile = path; });
}

void Step(QWidget &form)
{
    auto *timer = form.findChild<QTimer *>(QStringLiteral("Timer1"));
    timer->setInterval(3600 * 1000);
    QMetaObject::invokeMethod(timer, "timeout");
    QCoreApplication::sendPostedEvents();
}

void Form1Fixture::serveCounts(const QString &domain, const QStringList &counts,
                               ScriptedHttpServer::Mode mode)
{
    server.setReply(PagePath(domain), { 200, standin::StatisticsPage(domain, counts), mode });
}

void Form1Fixture::onRequest(const QString &domain, const std::function<void()> &action)
{
    QObject::connect(&server, &ScriptedHttpServer::requestSeen, form.get(),
                     [path = PagePath(domain), action](const QByteArray &seen) {
                         if (seen == path)
                             QTimer::singleShot(0, action);
                     });
}

void Form1Fixture::importLines(const QStringList &lines)
{
    static int files = 0;
    importFile(writeFile(QStringLiteral("list%1.txt").arg(++files), lines.join(u'\n').toUtf8()));
}

QStringList Form1Fixture::rowTexts(int row) const
{
    QStringList texts;
    const QAbstractItemModel *model = table()->model();
    for (int column = 0; row < model->rowCount() && column < model->columnCount(); ++column)
        texts << model->index(row, column).data().toString();
    return texts;
}

QString Form1Fixture::runState() const
{
    return QStringLiteral("%1 list:%2 pace:%3 timer:%4 mode:%5 cursor:%6")
        .arg(button("Command2")->text())
        .arg(list()->isEnabled())
        .arg(find<QWidget>("Slider1")->isEnabled())
        .arg(find<QTimer>("Timer1")->isActive())
        .arg(form->queryState().queryMode)
        .arg(form->queryState().queryCursor);
}

bool Form1Fixture::asked(const char *part) const
{
    return std::any_of(server.requests.begin(), server.requests.end(),
                       [part](const QByteArray &request) { return request.contains(part); });
}

void Form1Fixture::clickHeader(int column)
{
    QHeaderView *header = table()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
}

QStringList Form1Fixture::menu(QWidget *widget, const QString &pick)
{
    QStringList entries;
    QObject scope; // a menu that never opens leaves no look-in to run after this returns
    QTimer::singleShot(0, &scope, [&entries, pick] {
        QWidget *menu = QApplication::activePopupWidget();
        if (!menu)
            return;
        QAction *chosen = nullptr;
        for (QAction *action : menu->actions()) {
            entries << action->text();
            chosen = action->text() == pick ? action : chosen;
        }
        menu->close();
        if (chosen)
            chosen->trigger();
    });
    widget = widget ? widget : table();
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_F10, Qt::ShiftModifier);
    return entries;
}

bool Form1Fixture::workElsewhere()
{
    elsewhere = std::make_unique<QWidget>();
    elsewhere->show();
    elsewhere->activateWindow();
    return QTest::qWaitFor([this] { return elsewhere->isActiveWindow(); });
}
