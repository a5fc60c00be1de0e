#include "tests/doubles/scriptedfiledialogs.h"

bool ScriptedFileDialogs::ShowOpen(QWidget *parent, CommonDialog &dialog)
{
    Q_UNUSED(parent)
    return next(false, dialog);
}

bool ScriptedFileDialogs::ShowSave(QWidget *parent, CommonDialog &dialog)
{
    Q_UNUSED(parent)
    return next(true, dialog);
}

void ScriptedFileDialogs::answer(const QString &fileName, int filterIndex)
{
    m_answers.push_back({false, fileName, filterIndex});
}

void ScriptedFileDialogs::cancel()
{
    m_answers.push_back({true, {}, 0});
}

bool ScriptedFileDialogs::next(bool save, CommonDialog &dialog)
{
    shown.append({save, dialog});
    if (m_answers.empty())
        return false;
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    if (answer.cancelled)
        return false;
    dialog.FileName = answer.fileName;
    dialog.FilterIndex = answer.filterIndex;
    return true;
}
