#include "Form1.h"

#include "DomainImport.h"
#include "DomainQuery.h"
#include "FormFont.h"
#include "Platform.h"
#include "ResultsTable.h"
#include "RunController.h"
#include "ui_Form1.h"

#include <QCoreApplication>
#include <QTimer>

Form1::Form1(const AppSettings &settings, platform::Platform &platform, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::Form1>())
    , m_settings(settings)
    , m_platform(platform)
{
    ui->setupUi(this);
    for (QWidget *control : { static_cast<QWidget *>(ui->ListView1),
                              static_cast<QWidget *>(ui->List1), static_cast<QWidget *>(ui->Label1),
                              static_cast<QWidget *>(ui->Label2) })
        ApplyDisplayFont(control);
    ui->Label1->adjustSize();
    ui->Label2->adjustSize();
    SetUpResultsTable(ui->ListView1);
    ui->s1->setPanels({ QStringLiteral("运行提示："), QStringLiteral("正在检测程序最新版本.."),
                        QString(), QStringLiteral("Varnel出品") },
                      { 96, 636, 96, 96 }, 2);

    m_query = new DomainQuery({ ui->List1, ui->ListView1, ui->s1 }, m_state, m_settings.statsBase,
                              this);
    connect(ui->List1, &platform::ListBox::listClick, m_query, &DomainQuery::onListClick);

    const QString programDir = m_settings.programDir.isEmpty()
        ? QCoreApplication::applicationDirPath()
        : m_settings.programDir;
    m_import = new DomainImport(ui->List1, ui->s1, m_platform, this, programDir, this);
    connect(ui->Command1, &QPushButton::clicked, m_import, &DomainImport::run);
    connect(ui->List1, &platform::ListBox::listMouseDown, m_import, &DomainImport::onListMouseDown);
    connect(ui->List1, &platform::ListBox::listDblClick, m_import, &DomainImport::onListDblClick);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    m_run = new RunController({ ui->List1, ui->ListView1, ui->s1, ui->Command2, m_timer1,
                                ui->Slider1, ui->Label2, this },
                              m_state, m_platform.boxes, this);
    connect(ui->Command2, &QPushButton::clicked, m_run, &RunController::onStartStopClick);
    connect(m_timer1, &QTimer::timeout, m_run, &RunController::onTimerTick);
    connect(ui->Slider1, &QSlider::valueChanged, m_run, &RunController::onPaceScroll);
}

void Form1::cx()
{
    m_run->cx();
}

Form1::~Form1() = default;
