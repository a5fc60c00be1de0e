#pragma once

#include <QString>

#include <optional>

class QWidget;

// What the user confirmed in a file dialog: the full path, and the filter entry in force.
struct FileDialogChoice
{
    QString fileName;
    int filterIndex = 0;
};

// Modal open and save dialogs. Filters are "Description|pattern|Description|pattern" lists;
// an empty filter shows every file. A cancel gives no choice.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    [[nodiscard]] virtual std::optional<FileDialogChoice>
    getOpenFileName(QWidget *parent, const QString &filter, const QString &fileName, int filterIndex) = 0;
    // Never asks before replacing an existing file; the callers replace files on purpose.
    [[nodiscard]] virtual std::optional<FileDialogChoice>
    getSaveFileName(QWidget *parent, const QString &filter, const QString &fileName, int filterIndex) = 0;
};
