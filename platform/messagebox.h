#pragma once

#include <QString>

class QWidget;

// Modal message boxes: OK only, no icon, captioned with the program's name.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    // Returns when the user has closed the box.
    virtual void showMessage(QWidget *parent, const QString &text) = 0;
};
