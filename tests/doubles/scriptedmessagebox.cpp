#include "tests/doubles/scriptedmessagebox.h"

void ScriptedMessageBox::showMessage(QWidget *parent, const QString &text)
{
    Q_UNUSED(parent)
    messages.append(text);
    if (onShow)
        onShow(text);
}

SaveAnswer ScriptedMessageBox::askToSave(QWidget *parent, const QString &question)
{
    Q_UNUSED(parent)
    questions.append(question);
    if (answers.empty())
        return SaveAnswer::Cancel;
    const SaveAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedMessageBox::confirm(QWidget *parent, const QString &question)
{
    Q_UNUSED(parent)
    questions.append(question);
    if (confirmations.empty())
        return false;
    const bool answer = confirmations.front();
    confirmations.pop_front();
    return answer;
}
