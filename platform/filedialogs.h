#pragma once

#include <QString>

class QWidget;

// A file dialog as a window keeps it between showings: the filter it offers
// ("Description|pattern|Description|pattern", empty for every file), and the full path and
// filter entry (counted from 0) that the user confirmed last.
struct CommonDialog
{
    QString Filter;
    QString FileName;
    int FilterIndex = 0;
};

// Modal open and save dialogs. Each returns false when the user cancels, leaving the dialog
// state as it was; otherwise it stores the user's choice in it.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    virtual bool ShowOpen(QWidget *parent, CommonDialog &dialog) = 0;
    // Never asks before replacing an existing file: the callers replace files on purpose.
    virtual bool ShowSave(QWidget *parent, CommonDialog &dialog) = 0;
};
