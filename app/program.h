#pragma once

#include "desktopurlopener.h"
#include "helperspeechengine.h"
#include "qtfiledialogs.h"
#include "qtmessagebox.h"
#include "qtprogressdialogs.h"
#include "systemclock.h"

#include <memory>

class FormWav;

// The running program: the real platform services and the windows that use them.
class Program final
{
public:
    Program();
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // Creates the speech window, runs its load step and shows it centered.
    void start();
    [[nodiscard]] FormWav *speechWindow() const { return m_speechWindow.get(); }

private:
    HelperSpeechEngine m_speechEngine;
    QtMessageBox m_messageBox;
    QtFileDialogs m_fileDialogs;
    DesktopUrlOpener m_urlOpener;
    SystemClock m_clock;
    QtProgressDialogs m_progressDialogs;
    std::unique_ptr<FormWav> m_speechWindow;
};
