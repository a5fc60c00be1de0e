#pragma once

#include "platform/desktopurlopener.h"
#include "engine/helperspeechengine.h"
#include "platform/platformservices.h"
#include "platform/qtfiledialogs.h"
#include "platform/qtmessagebox.h"
#include "platform/qtprogressdialogs.h"
#include "platform/systemclock.h"

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
