#pragma once

#include "platform/messagebox.h"

class QtMessageBox final : public MessageBox
{
public:
    void showMessage(QWidget *parent, const QString &text) override;
    [[nodiscard]] SaveAnswer askToSave(QWidget *parent, const QString &question) override;
    [[nodiscard]] bool confirm(QWidget *parent, const QString &question) override;
};
