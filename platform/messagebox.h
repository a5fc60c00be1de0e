#pragma once

#include <QString>

class QWidget;

enum class SaveAnswer
{
    Save,
    Discard,
    Cancel
};

// Modal message boxes: OK only, no icon, captioned with the program's name.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    // Returns when the user has closed the box.
    virtual void showMessage(QWidget *parent, const QString &text) = 0;
    // A question about unsaved work, answered with Save, Discard or Cancel; closing the box
    // cancels.
    [[nodiscard]] virtual SaveAnswer askToSave(QWidget *parent, const QString &question) = 0;
    // A yes-or-no question before something that cannot be undone; closing the box answers no.
    [[nodiscard]] virtual bool confirm(QWidget *parent, const QString &question) = 0;
};
