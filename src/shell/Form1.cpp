#include "Form1.h"

#include "DomainQuery.h"
#include "FormFont.h"
#include "Platform.h"
#include "ResultsTable.h"
#include "ui_Form1.h"

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
    SetUpResultsTable(ui->ListView1);
    ui->s1->setPanels({ QStringLiteral("运行提示："), QStringLiteral("正在检测程序最新版本.."),
                        QString(), QStringLiteral("Varnel出品") },
                      { 96, 636, 96, 96 }, 2);

    m_query = new DomainQuery({ ui->List1, ui->ListView1, ui->s1 }, m_state, m_settings.statsBase,
                              this);
    connect(ui->List1, &platform::ListBox::listClick, m_query, &DomainQuery::onListClick);
}

Form1::~Form1() = default;
