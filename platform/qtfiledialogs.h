#pragma once

#include "filedialogs.h"

#include <QStringList>

class QtFileDialogs final : public FileDialogs
{
public:
    std::optional<FileDialogChoice> getOpenFileName(QWidget *parent, const QString &filter,
                                                    const QString &fileName, int filterIndex) override;
    std::optional<FileDialogChoice> getSaveFileName(QWidget *parent, const QString &filter,
                                                    const QString &fileName, int filterIndex) override;
};

// "Text file (*.txt)|*.txt|Log files (*.log)|*.log" -> {"Text file (*.txt)", "Log files (*.log)"}
[[nodiscard]] QStringList qtNameFilters(const QString &pipeFilter);
