#include "scriptedfiledialogs.h"

std::optional<FileDialogChoice> ScriptedFileDialogs::getOpenFileName(QWidget *parent, const QString &filter,
                                                                     const QString &fileName, int filterIndex)
{
    Q_UNUSED(parent)
    return next({false, filter, fileName, filterIndex});
}

std::optional<FileDialogChoice> ScriptedFileDialogs::getSaveFileName(QWidget *parent, const QString &filter,
                                                                     const QString &fileName, int filterIndex)
{
    Q_UNUSED(parent)
    return next({true, filter, fileName, filterIndex});
}

void ScriptedFileDialogs::answer(const QString &fileName, int filterIndex)
{
    answers.push_back({false, {fileName, filterIndex}});
}

void ScriptedFileDialogs::cancel()
{
    answers.push_back({true, {}});
}

std::optional<FileDialogChoice> ScriptedFileDialogs::next(Request request)
{
    requests.append(std::move(request));
    if (answers.empty())
        return std::nullopt; // an unscripted dialog is cancelled
    const Answer answer = answers.front();
    answers.pop_front();
    if (answer.cancelled)
        return std::nullopt;
    return answer.choice;
}
