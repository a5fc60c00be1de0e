#include "platform/qtfiledialogs.h"

#include <QFileDialog>

namespace {

bool runDialog(QWidget *parent, QFileDialog::AcceptMode mode, CommonDialog &state)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = qtNameFilters(state.Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(state.FilterIndex, filters.first()));
    }
    if (!state.FileName.isEmpty())
        dialog.selectFile(state.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    state.FileName = dialog.selectedFiles().first();
    state.FilterIndex =
        static_cast<int>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())));
    return true;
}

} // namespace

QStringList qtNameFilters(const QString &pipeFilter)
{
    QStringList result;
    const QStringList parts = pipeFilter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        const QString patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts).join(u' ');
        // Qt reads the patterns from the parentheses of the description, separated by spaces.
        description.replace(u'(' + parts.at(i + 1) + u')', u'(' + patterns + u')');
        if (description.contains(u'(' + patterns + u')'))
            result.append(description);
        else
            result.append(QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return result;
}

bool QtFileDialogs::ShowOpen(QWidget *parent, CommonDialog &dialog)
{
    return runDialog(parent, QFileDialog::AcceptOpen, dialog);
}

bool QtFileDialogs::ShowSave(QWidget *parent, CommonDialog &dialog)
{
    return runDialog(parent, QFileDialog::AcceptSave, dialog);
}
