#include "FileDialogs.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QStringList>

namespace platform {

namespace {

// Qt's file dialog writes sizes and dates in the system's conventions whatever the program's
// locale is; this shows them in the program's own.
class LocaleFileColumns final : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == 1 && !files->isDir(source))
            return QLocale().formattedDataSize(files->size(source));
        if (index.column() == 3)
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }
};

// A dialog with its sizes and dates in the program's locale, which the caller runs.
std::optional<QString> Run(QFileDialog &dialog)
{
    dialog.setProxyModel(new LocaleFileColumns(&dialog));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

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
    return Run(dialog);
}

std::optional<QString> QtFileDialogs::saveFile(QWidget *parent, const QString &title,
                                               const QString &filter, const QString &suggestedPath)
{
    QFileDialog dialog(parent, title, suggestedPath, QtFilterFromClassic(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an ending gets the filter's: "CSV文件|*.csv" gives ".csv".
    dialog.setDefaultSuffix(filter.section(u'|', 1, 1).section(u'.', 1));
    return Run(dialog);
}

} // namespace platform
