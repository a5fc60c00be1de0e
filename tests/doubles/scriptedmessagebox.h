#pragma once

#include "platform/messagebox.h"

#include <QStringList>

#include <functional>

// Records every message instead of showing it; a test may act while a message is "open".
class ScriptedMessageBox final : public MessageBox
{
public:
    void showMessage(QWidget *parent, const QString &text) override;

    QStringList messages;
    std::function<void(const QString &)> onShow;
};
