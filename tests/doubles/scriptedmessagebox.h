#pragma once

#include "platform/messagebox.h"

#include <QStringList>

#include <deque>
#include <functional>

// Records every message instead of showing it; a test may act while a message is "open".
// Questions are answered from a queue of scripted answers; an unscripted one is cancelled.
class ScriptedMessageBox final : public MessageBox
{
public:
    void showMessage(QWidget *parent, const QString &text) override;
    [[nodiscard]] SaveAnswer askToSave(QWidget *parent, const QString &question) override;
    // Answered from confirmations; an unscripted one is answered no.
    [[nodiscard]] bool confirm(QWidget *parent, const QString &question) override;

    QStringList messages;
    std::function<void(const QString &)> onShow;
    QStringList questions;
    std::deque<SaveAnswer> answers;
    std::deque<bool> confirmations;
};
