#include "Form1.h"

#include "AccessibleRoles.h"
#include "ContinueRunAction.h"
#include "CountChangeMarks.h"
#include "DomainImport.h"
#include "DomainQuery.h"
#include "Form2.h"
#include "FormFont.h"
#include "GrowingLayout.h"
#include "HistoryActions.h"
#include "HttpGetText.h"
#include "KeyboardMenus.h"
#include "LinkButtons.h"
#include "ListTools.h"
#include "Platform.h"
#include "ResultsModel.h"
#include "ResultsOrder.h"
#include "ResultsTable.h"
#include "ResultsTableActions.h"
#include "ResultsTableProc.h"
#include "RunController.h"
#include "ServiceActions.h"
#include "UpdateCheck.h"
#include "VersionText.h"
#include "ui_Form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

const QString kBoxTitle = QStringLiteral("Varnel系列软件");

void CentreOnScreen(QWidget *window)
{
    if (const QScreen *screen = window->screen()) {
        const QRect available = screen->availableGeometry();
        QRect frame = window->frameGeometry();
        frame.moveCenter(available.center());
        // A window larger than the screen keeps its title bar, and so its close button, on it.
        frame.moveTopLeft(QPoint(std::max(frame.left(), available.left()),
                                 std::max(frame.top(), available.top())));
        window->move(frame.topLeft());
    }
}

} // namespace

Form1::Form1(const AppSettings &settings, platform::Platform &platform, ServiceSwitch *services,
             QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::Form1>())
    , m_settings(settings)
    , m_platform(platform)
{
    ui->setupUi(this);
    m_title = windowTitle();
    layOut();
    wireList();
    wireRun();
    wireHistoryAndServices(services);
}

void Form1::layOut()
{
    // Its laid-out size is its smallest; larger, the results table and the list take the room.
    auto *growing = new GrowingLayout(this);
    growing->growRight(ui->ListView1);
    growing->growDown(ui->ListView1);
    growing->growDown(ui->List1);
    growing->growRight(ui->s1);
    growing->follow(ui->Label2, ui->Slider1);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    for (QWidget *control :
         { static_cast<QWidget *>(ui->ListView1), static_cast<QWidget *>(ui->List1),
           static_cast<QWidget *>(ui->Label1), static_cast<QWidget *>(ui->Label2) })
        ApplyDisplayFont(control);
    ui->Label1->adjustSize();
    ui->Label2->adjustSize();
    m_results = new ResultsModel(ui->ListView1);
    SetUpResultsTable(ui->ListView1, new ResultsOrder(m_results, m_results));
    m_resultsActions = new ResultsTableActions(ui->ListView1, m_platform, this);
    ui->s1->setPanels({ QStringLiteral("运行提示："), QStringLiteral("正在检测程序最新版本.."),
                        QString(), QStringLiteral("Varnel出品") },
                      { 96, 636, 96, 96 }, 2);
    ui->Command1->setFocus();
    // Read out: the message itself, announced as it changes, described as the program's
    // message; and where each link leads.
    ui->s1->panel(2)->setAccessibleDescription(QStringLiteral("运行提示"));
    platform::OpenContextMenusOnShiftF10(this);
    platform::ReadOutAsFrame(this);
}

// The list's gestures: a click queries, a press imports, a double click or Delete removes, and
// pastes and drops bring lists as people have them.
void Form1::wireList()
{
    m_query = new DomainQuery({ ui->List1, m_results, ui->s1 }, m_state, m_settings.statsBase,
                              m_settings.fetchLimits, this);
    connect(ui->List1, &platform::ListBox::listClick, m_query, &DomainQuery::onListClick);

    m_import = new DomainImport(ui->List1, ui->s1, m_platform, this, this);
    connect(ui->Command1, &QPushButton::clicked, m_import, &DomainImport::run);
    connect(ui->List1, &platform::ListBox::listMouseDown, m_import, &DomainImport::onListMouseDown);
    connect(ui->List1, &platform::ListBox::listDblClick, m_import, &DomainImport::onListDblClick);
    // The keyboard's way to do what a double click does.
    connect(ui->List1, &platform::ListBox::listDeleteKey, m_import, &DomainImport::onListDblClick);
    new ListTools(ui->List1, ui->s1, m_platform, this, this);
    // Lists as people have them: pasted, or dropped as a file or as text.
    connect(ui->List1, &platform::ListBox::listPaste, m_import, &DomainImport::pasteFromClipboard);
    connect(ui->List1, &platform::ListBox::listDropFile, m_import, &DomainImport::dropFile);
    connect(ui->List1, &platform::ListBox::listDropText, m_import, &DomainImport::dropText);
    connect(ui->List1, &platform::ListBox::listDropRefused, m_import, &DomainImport::refuseDrop);
}

void Form1::wireRun()
{
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    // The steps keep a fixed pace: a coarse timer may fire each of them up to 5 % late.
    m_timer1->setTimerType(Qt::PreciseTimer);
    m_run = new RunController(
        { ui->List1, m_results, ui->s1, ui->Command2, m_timer1, ui->Slider1, ui->Label2, this },
        m_state, *m_query, m_platform.boxes, this);
    connect(ui->Command2, &QPushButton::clicked, m_run, &RunController::onStartStopClick);
    m_resultsActions->offerRetry({ [this] { return int(m_run->failedRows().size()); },
                                   [this] { return m_run->whyNoRetry(); },
                                   [this] { m_run->retryFailed(); } });
    connect(m_run, &RunController::runStateChanged, m_resultsActions,
            &ResultsTableActions::refreshRetry);
    // A run of hours: its progress shows on the launcher, and its end outside the window.
    connect(m_run, &RunController::progressChanged, this, [this](int done, int total) {
        m_platform.desktop.progress(total > 0 ? double(done) / total : 0.0, true);
    });
    connect(m_run, &RunController::runStateChanged, this, [this] {
        if (!m_run->running())
            m_platform.desktop.progress(0.0, false);
    });
    connect(m_run, &RunController::finished, this, &Form1::announceEnd);
}

void Form1::wireHistoryAndServices(ServiceSwitch *services)
{
    ui->ListView1->setItemDelegate(new CountChangeMarks(ui->ListView1));
    m_history = new HistoryActions(
        { ui->ListView1, m_results, ui->List1, m_run, ui->s1, this }, m_platform,
        m_settings.sampleData ? QString() : m_settings.historyFile, m_settings.statsBase);
    m_continue = new ContinueRunAction(m_run, ui->List1, ui->ListView1, this);
    m_serviceActions
        = new ServiceActions({ ui->List1, ui->ListView1, m_run, this }, m_platform, services,
                             { [this](const AppSettings &next) { applyServices(next); },
                               [this](const QString &path) { openList(path); } });
    showWhetherSample(m_settings.sampleData);
    connect(ui->Slider1, &QSlider::valueChanged, m_run, &RunController::onPaceScroll);
    // A screen reader hears the pace as the label shows it, not as a bare number.
    const auto describePace = [this] { ui->Slider1->setAccessibleDescription(ui->Label2->text()); };
    connect(ui->Slider1, &QSlider::valueChanged, this, describePace);
    describePace();

    connect(ui->Command3, &QPushButton::clicked, this, [this] { openSite(m_settings.forumUrl); });
    connect(ui->Command4, &QPushButton::clicked, this, [this] { openSite(m_settings.serviceUrl); });
    connect(ui->Command5, &QPushButton::clicked, this,
            [this] { openSite(m_settings.resourceUrl); });
    connect(ui->Command6, &QPushButton::clicked, this, &Form1::openAddDialog);
}

Form1::~Form1()
{
    // It listens to the list and the table and asks of both: gone before either goes.
    delete m_continue;
}

QString Form1::programDir() const
{
    return m_settings.programDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                           : m_settings.programDir;
}

void Form1::Load()
{
    m_platform.skin.SkinH_AttachEx(programDir() + QStringLiteral("/skinh.she"), QString());
    setWindowIcon(QIcon());
    InstallResultsTableProc(ui->ListView1);
    ui->ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CentreOnScreen(this);
    show();
    ui->s1->setPanelText(
        3,
        VersionText(m_settings.versionMajor, m_settings.versionMinor, m_settings.versionRevision));
    gx();
}

void Form1::gx()
{
    QPointer<Form1> alive(this);
    const FetchResult reply = HttpGetText(m_settings.updateUrl, m_settings.updateLimits);
    // Closed while the version file was on its way: the program is ending, say nothing more.
    if (!alive || m_closed)
        return;
    const QString version = VersionFromReply(reply.text);
    // A reply without a version text (an error page, a proxy's page) is a failed check, not
    // news of another version.
    if (version.isEmpty()) {
        m_platform.boxes.show(this, QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版"),
                              platform::BoxIcon::Warning, kBoxTitle);
        return;
    }
    if (version != kCurrentVersion) {
        m_platform.boxes.show(this, NewVersionMessage(version), platform::BoxIcon::Information,
                              kBoxTitle);
        openSite(m_settings.forumUrl);
        m_platform.exit.endNow();
        return;
    }
    ui->Command2->setEnabled(true);
    m_continue->refresh();
    ui->s1->setPanelText(2, QStringLiteral("欢迎使用Varnel系列软件"));
}

void Form1::cx()
{
    m_run->cx();
}

void Form1::openList(const QString &path)
{
    m_import->importFile(path);
}

void Form1::takeHandedFile(const QString &path)
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    if (path.isEmpty())
        return;
    if (ui->List1->isEnabled())
        m_import->dropFile(path);
    else // the list is the run's until it ends
        m_platform.boxes.show(
            this, QStringLiteral("查询进行中，未打开列表：%1").arg(QDir::toNativeSeparators(path)),
            platform::BoxIcon::Information, kBoxTitle);
}

void Form1::showWhetherSample(bool sample)
{
    // Nobody may take sample counts for real ones, in Excel neither.
    setWindowTitle(sample ? m_title + QStringLiteral("（示例数据）") : m_title);
    m_resultsActions->setSheetName(sample ? QStringLiteral("收录查询结果（示例数据）")
                                          : QStringLiteral("收录查询结果"));
    m_serviceActions->setSampleInUse(sample);
    const auto opens
        = [](const QString &url) { return QStringLiteral("在浏览器中打开%1").arg(url); };
    ui->Command3->setAccessibleDescription(opens(m_settings.forumUrl));
    ui->Command4->setAccessibleDescription(opens(m_settings.serviceUrl));
    ui->Command5->setAccessibleDescription(opens(m_settings.resourceUrl));
}

void Form1::applyServices(const AppSettings &settings)
{
    m_settings = settings;
    m_query->setService(m_settings.statsBase, m_settings.fetchLimits);
    m_history->useFile(m_settings.sampleData ? QString() : m_settings.historyFile,
                       m_settings.statsBase);
    showWhetherSample(m_settings.sampleData);
    // Checked again as at start-up: only the version the new server names enables a run.
    ui->Command2->setEnabled(false);
    m_continue->refresh();
    ui->s1->setPanelText(2, QStringLiteral("正在检测程序最新版本.."));
    gx();
}

void Form1::openServiceSettings()
{
    m_serviceActions->openDialog();
}

void Form1::sampleServiceEnded()
{
    setWindowTitle(m_title); // what it showed were sample counts; nothing answers now

    m_platform.boxes.show(this,
                          QStringLiteral("示例服务已停止运行，之后的查询都不会有结果。\r\n"
                                         "请关闭程序后重新打开。"),
                          platform::BoxIcon::Warning, kBoxTitle);
}

void Form1::openSite(const QString &url)
{
    // No browser to hand it to: give the user the address to copy instead.
    auto noBrowser = [window = QPointer<Form1>(this), url] {
        if (window)
            window->m_platform.boxes.show(
                window, QStringLiteral("无法打开浏览器，请手动访问以下网址：\r\n") + url,
                platform::BoxIcon::Information, kBoxTitle);
    };
    if (!m_platform.processes.startDetached(BrowserCommandLine(url), noBrowser))
        noBrowser();
}

void Form1::openAddDialog()
{
    Form2::MainWindowHooks hooks;
    hooks.entryCount = [this] { return ui->List1->count(); };
    hooks.appendEntry = [this](const QString &domain) { ui->List1->addItem(domain); };
    hooks.queryLastEntry = [this] { cx(); };
    // Built afresh at every opening: empty text, box not ticked.
    QPointer<QWidget> focused = QApplication::focusWidget();
    {
        Form2 dialog(m_platform.boxes, std::move(hooks), this);
        dialog.setObjectName(QStringLiteral("Form2"));
        CentreOnScreen(&dialog);
        m_platform.dialogs.exec(dialog);
    }
    // Window managers do not always hand the activation back to the window below a closed
    // dialog; the user expects to be where they were.
    activateWindow();
    raise();
    if (focused && isAncestorOf(focused))
        focused->setFocus(Qt::OtherFocusReason);
}

void Form1::announceEnd()
{
    if (isActiveWindow())
        return; // the user is watching
    const int rows = m_results->rowCount();
    const int failed = int(m_run->failedRows().size());
    m_platform.desktop.notify(
        windowTitle(),
        QStringLiteral("共%1个域名：有结果%2个，失败%3个").arg(rows).arg(rows - failed).arg(failed),
        [window = QPointer<Form1>(this)] {
            if (!window)
                return;
            window->showNormal();
            window->raise();
            window->activateWindow();
        });
    m_platform.desktop.alert(this);
}

void Form1::closeEvent(QCloseEvent *event)
{
    m_closed = true;
    m_history->finish();
    QWidget::closeEvent(event);
}
