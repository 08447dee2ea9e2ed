#include "FileDialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace platform {

QString QtFilterFromClassic(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> QtFileDialogs::openFile(QWidget *parent, const QString &title,
                                               const QString &filter, const QString &directory)
{
    QFileDialog dialog(parent, title, directory, QtFilterFromClassic(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A name that does not exist is accepted too: the import then finds nothing to read.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtFileDialogs::saveFile(QWidget *parent, const QString &title,
                                               const QString &filter, const QString &suggestedPath)
{
    QFileDialog dialog(parent, title, suggestedPath, QtFilterFromClassic(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace platform
