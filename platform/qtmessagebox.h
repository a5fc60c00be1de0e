#pragma once

#include "messagebox.h"

class QtMessageBox final : public MessageBox
{
public:
    void showMessage(QWidget *parent, const QString &text) override;
};
