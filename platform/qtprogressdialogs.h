#pragma once

#include "platform/progressdialogs.h"

// Modal progress dialogs with a Cancel button that appear after half a second of work.
class QtProgressDialogs final : public ProgressDialogs
{
public:
    [[nodiscard]] std::unique_ptr<Progress> start(QWidget *parent, const QString &label) override;
};
