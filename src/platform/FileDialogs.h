#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace platform {

// The file-open and file-save dialogs. The filter is written the classic way,
// "description|pattern". An empty optional means the user cancelled.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // Opens in `directory`, or on `directory` itself when it names a file.
    virtual std::optional<QString> openFile(QWidget *parent, const QString &title,
                                            const QString &filter, const QString &directory)
        = 0;
    // Offers `suggestedPath`; asks before replacing a file that exists.
    virtual std::optional<QString> saveFile(QWidget *parent, const QString &title,
                                            const QString &filter, const QString &suggestedPath)
        = 0;
};

class QtFileDialogs final : public FileDialogs
{
public:
    std::optional<QString> openFile(QWidget *parent, const QString &title, const QString &filter,
                                    const QString &directory) override;
    std::optional<QString> saveFile(QWidget *parent, const QString &title, const QString &filter,
                                    const QString &suggestedPath) override;
};

// "文本文件|*.txt" -> "文本文件 (*.txt)"; pairs are separated by further bars.
QString QtFilterFromClassic(const QString &filter);

} // namespace platform
