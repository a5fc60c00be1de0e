#pragma once

#include "desktopurlopener.h"
#include "helperspeechengine.h"
#include "platformservices.h"
#include "qtfiledialogs.h"
#include "qtmessagebox.h"
#include "qtprogressdialogs.h"
#include "systemclock.h"

// The real platform services of this machine, kept alive for as long as the windows use them.
struct SystemServices final
{
    [[nodiscard]] PlatformServices services()
    {
        return {speechEngine, messageBox, fileDialogs, urlOpener, clock, progressDialogs};
    }

    HelperSpeechEngine speechEngine;
    QtMessageBox messageBox;
    QtFileDialogs fileDialogs;
    DesktopUrlOpener urlOpener;
    SystemClock clock;
    QtProgressDialogs progressDialogs;
};
