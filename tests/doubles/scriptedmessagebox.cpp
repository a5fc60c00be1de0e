#include "tests/doubles/scriptedmessagebox.h"

void ScriptedMessageBox::showMessage(QWidget *parent, const QString &text)
{
    Q_UNUSED(parent)
    messages.append(text);
    if (onShow)
        onShow(text);
}
