#pragma once

#include <QString>

#include <memory>

class QWidget;

// A running operation's progress as the user sees it, with a way to cancel.
class Progress
{
public:
    virtual ~Progress() = default;
    // share: 0 to 1 of the work done.
    virtual void setShare(double share) = 0;
    [[nodiscard]] virtual bool wasCanceled() const = 0;
};

// Starts progress displays; a display appears only when the work takes long enough to need one,
// and goes away when the returned object is released.
class ProgressDialogs
{
public:
    virtual ~ProgressDialogs() = default;
    [[nodiscard]] virtual std::unique_ptr<Progress> start(QWidget *parent, const QString &label) = 0;
};
