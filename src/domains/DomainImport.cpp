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
        m_window, QStringLiteral("请选择要加载的文件"), QStringLiteral("文本文件|*.txt"),
        m_lastFile.isEmpty() ? QDir::homePath() : m_lastFile);
    if (!path)
        return; // cancelled: the list stays as it was
    m_lastFile = *path;
    importFile(*path);
}

void DomainImport::importFile(const QString &path)
{
    DomainFileLines read;
    if (!replaceFromFile(path, read))
        return;
    // The rule of the import: a file with nothing in it empties the list, which is said (a read
    // that broke off has said so already).
    if (m_list->count() == 0 && !read.readFailed)
        say(QStringLiteral("文件中没有可导入的域名，域名列表现在是空的。"));
    reportLeftOut(read, QStringLiteral("文件"));
}

void DomainImport::dropFile(const QString &path)
{
    const QStringList before = m_list->entries();
    DomainFileLines read;
    if (!replaceFromFile(path, read))
        return;
    if (m_list->count() > 0) {
        reportLeftOut(read, QStringLiteral("文件"));
        return;
    }
    // Dropped by a slip of the mouse, perhaps: a file with nothing in it costs no list.
    m_list->addItems(before);
    const QString why = LeftOutMessage(read, QStringLiteral("文件"));
    say(QStringLiteral("拖入的文件中没有可导入的域名，域名列表保持不变。")
        + (why.isEmpty() ? QString() : QStringLiteral("\r\n") + why));
}

bool DomainImport::replaceFromFile(const QString &path, DomainFileLines &read)
{
    // A mistyped name, a folder or a device must not cost the user the list already loaded.
    if (!DomainFileReadable(path)) {
        m_platform.boxes.show(m_window,
                              QStringLiteral("无法读取文件：%1\r\n域名列表保持不变。")
                                  .arg(QDir::toNativeSeparators(path)),
                              platform::BoxIcon::Warning, kBoxTitle);
        return false;
    }

    m_list->clear();
    read = ReadLinesToList(m_list, path);
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
    return true;
}

void DomainImport::appendText(const QString &text, const QString &source)
{
    QByteArray bytes = text.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const DomainFileLines read = ReadDomainLines(buffer, kMaxListEntries - m_list->count());
    const QStringList cleaned = CleanDomainEntries(read.lines);
    if (!cleaned.isEmpty()) {
        m_list->addItems(cleaned);
        selectLastAndReport();
    } else if (read.leftOut == 0 && read.tooLong == 0 && read.unreadable == 0) {
        say(QStringLiteral("%1中没有域名。").arg(source));
    }
    reportLeftOut(read, source);
}

void DomainImport::dropText(const QString &text)
{
    appendText(text, QStringLiteral("拖入的文本"));
}

void DomainImport::pasteFromClipboard()
{
    const QString text = m_platform.clipboard.text();
    if (text.isEmpty()) {
        say(QStringLiteral("剪贴板里没有文本，无法粘贴域名。"));
        return;
    }
    appendText(text, QStringLiteral("粘贴的文本"));
}

void DomainImport::refuseDrop(bool severalFiles)
{
    say(severalFiles ? QStringLiteral("一次只能拖入一个文件。")
                     : QStringLiteral("只能拖入本机上的文本文件。"));
}

void DomainImport::say(const QString &text)
{
    m_platform.boxes.show(m_window, text, platform::BoxIcon::Information, kBoxTitle);
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
    if (read.leftOut > 0 || read.tooLong > 0 || read.unreadable > 0 || read.tooLarge)
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
