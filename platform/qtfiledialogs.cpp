#include "qtfiledialogs.h"

#include <QFileDialog>

namespace {

std::optional<FileDialogChoice> runDialog(QWidget *parent, QFileDialog::AcceptMode mode,
                                          const QString &filter, const QString &fileName, int filterIndex)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = qtNameFilters(filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(filterIndex, filters.first()));
    }
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileDialogChoice{
        dialog.selectedFiles().first(),
        static_cast<int>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())))};
}

} // namespace

QStringList qtNameFilters(const QString &pipeFilter)
{
    QStringList result;
    const QStringList parts = pipeFilter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts.at(i);
        const QString patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts).join(u' ');
        // Qt reads the patterns from the parentheses of the description.
        if (description.contains(u'(' + patterns + u')'))
            result.append(description);
        else
            result.append(QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return result;
}

std::optional<FileDialogChoice> QtFileDialogs::getOpenFileName(QWidget *parent, const QString &filter,
                                                               const QString &fileName, int filterIndex)
{
    return runDialog(parent, QFileDialog::AcceptOpen, filter, fileName, filterIndex);
}

std::optional<FileDialogChoice> QtFileDialogs::getSaveFileName(QWidget *parent, const QString &filter,
                                                               const QString &fileName, int filterIndex)
{
    return runDialog(parent, QFileDialog::AcceptSave, filter, fileName, filterIndex);
}
