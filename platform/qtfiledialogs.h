#pragma once

#include "platform/filedialogs.h"

#include <QStringList>

class QtFileDialogs final : public FileDialogs
{
public:
    bool ShowOpen(QWidget *parent, CommonDialog &dialog) override;
    bool ShowSave(QWidget *parent, CommonDialog &dialog) override;
};

// "Text file (*.txt)|*.txt|Log files (*.log)|*.log" -> {"Text file (*.txt)", "Log files (*.log)"}
[[nodiscard]] QStringList qtNameFilters(const QString &pipeFilter);
