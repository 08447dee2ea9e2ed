#include "Form2.h"

#include "AddDomainCheck.h"
#include "DomainEntries.h"
#include "FormFont.h"
#include "MessageBoxes.h"
#include "ui_Form2.h"

#include <QPointer>

Form2::Form2(platform::MessageBoxes &boxes, MainWindowHooks hooks, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Form2>())
    , m_boxes(boxes)
    , m_hooks(std::move(hooks))
{
    ui->setupUi(this);
    setWindowIcon(QIcon());
    setFixedSize(size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    for (QWidget *control : { static_cast<QWidget *>(ui->Text1), static_cast<QWidget *>(ui->Label1),
                              static_cast<QWidget *>(ui->Check1) })
        ApplyDisplayFont(control);
    ui->Label1->adjustSize();
    ui->Command1->setDefault(true);
    ui->Command1->setFocus();
    connect(ui->Command1, &QPushButton::clicked, this, &Form2::onAddClick);
}

Form2::~Form2() = default;

void Form2::say(const QString &text)
{
    m_boxes.show(this, text, platform::BoxIcon::Information, QStringLiteral("Varnel系列软件"));
}

void Form2::onAddClick()
{
    const QString text = ui->Text1->text();
    if (const QString refusal = AddDomainRefusal(text); !refusal.isEmpty()) {
        say(refusal);
        return;
    }
    if (m_hooks.entryCount() >= kMaxListEntries) {
        say(QStringLiteral("域名列表已满(最多%1个),无法再添加..").arg(kMaxListEntries));
        return;
    }
    m_hooks.appendEntry(text);
    say(QStringLiteral("域名添加成功.."));
    const bool queryNow = ui->Check1->checkState() == Qt::Checked;
    QPointer<Form2> alive(this);
    if (queryNow) {
        close();
        m_hooks.queryLastEntry();
    }
    if (alive)
        close();
}
