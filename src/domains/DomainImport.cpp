#include "DomainImport.h"

#include "DomainEntries.h"
#include "DomainFile.h"
#include "ListBox.h"
#include "Platform.h"
#include "StatusBar.h"

#include <QBuffer>
#include <QDir>

namespace {

const QString kBoxTitle = QStringLiteral("Varnel系列软件");

} // namespace

DomainImport::DomainImport(platform::ListBox *list, platform::StatusBar *status,
                           platform::Platform &platform, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_status(status)
    , m_platform(platform)
    , m_window(window)
{
}

void DomainImport::run()
{
    m_platform.boxes.show(m_window,
                          QStringLiteral("请按照如下格式：\r\n\r\n域名前不要加http://与www\r\n"
                                         "一行一个域名，例如：example.com"),
                          platform::BoxIcon::Information, kBoxTitle);
    // The dialog starts on the file chosen last, the first time in the user's home: the
    // program's own folder is a system folder once installed.
    const std::optional<QString> path = m_platform.files.openFile(
        m_window, QStringLiteral("请选择要加载的文件"), QStringLiteral("文本文件|*.txt|所有文件|*"),
        m_lastFile.isEmpty() ? QDir::homePath() : m_lastFile);
    if (!path)
        return; // cancelled: the list stays as it was
    m_lastFile = *path;
    importFile(*path);
}

void DomainImport::importFile(const QString &path)
{
    // A mistyped name, a folder or a device must not cost the user the list already loaded.
    if (!DomainFileReadable(path)) {
        m_platform.boxes.show(m_window,
                              QStringLiteral("无法读取文件：%1\r\n域名列表保持不变。")
                                  .arg(QDir::toNativeSeparators(path)),
                              platform::BoxIcon::Warning, kBoxTitle);
        return;
    }

    m_list->clear();
    const DomainFileLines read = ReadLinesToList(m_list, path);
    const QStringList cleaned = CleanDomainEntries(m_list->entries());
    m_list->clear();
    m_list->addItems(cleaned);

    selectLastAndReport();
    if (read.readFailed) {
        m_platform.boxes.show(
            m_window,
            QStringLiteral("读取文件时出错，只导入了出错之前读到的%1行。").arg(read.lines.size()),
            platform::BoxIcon::Warning, kBoxTitle);
    }
    reportLeftOut(read, QStringLiteral("文件"));
}

void DomainImport::appendText(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const DomainFileLines read = ReadDomainLines(buffer, kMaxListEntries - m_list->count());
    const QStringList cleaned = CleanDomainEntries(read.lines);
    if (!cleaned.isEmpty()) {
        m_list->addItems(cleaned);
        selectLastAndReport();
    }
    reportLeftOut(read, QStringLiteral("粘贴的文本"));
}

void DomainImport::pasteFromClipboard()
{
    appendText(m_platform.clipboard.text());
}

void DomainImport::selectLastAndReport()
{
    if (m_list->count() == 0)
        return;
    m_list->setListIndex(m_list->count() - 1);
    m_status->setPanelText(2, QStringLiteral("列表加载成功!共%1个域名").arg(m_list->count()));
}

void DomainImport::reportLeftOut(const DomainFileLines &read, const QString &source)
{
    if (read.leftOut > 0 || read.tooLong > 0 || read.unreadable > 0)
        m_platform.boxes.show(m_window, LeftOutMessage(read, source),
                              platform::BoxIcon::Information, kBoxTitle);
}

void DomainImport::onListMouseDown()
{
    if (m_list->count() == 0)
        run();
}

void DomainImport::onListDblClick()
{
    const int index = m_list->listIndex();
    if (index < 0)
        return;
    delete m_list->takeItem(index);
    m_list->setListIndexQuietly(-1);
}
