#pragma once

#include "platform/platformservices.h"
#include "tests/doubles/fakespeechengine.h"
#include "tests/doubles/fixedclock.h"
#include "tests/doubles/recordingurlopener.h"
#include "tests/doubles/scriptedfiledialogs.h"
#include "tests/doubles/scriptedmessagebox.h"
#include "tests/doubles/scriptedprogress.h"

// Every platform service scripted, for driving a window headless. The speech engine is a
// fake unless a test passes a real one.
struct TestServices
{
    explicit TestServices(SpeechEngine *engine = nullptr) : realEngine(engine) {}

    [[nodiscard]] PlatformServices services()
    {
        return {realEngine ? *realEngine : fakeEngine,
                messageBox,
                fileDialogs,
                urlOpener,
                clock,
                progressDialogs};
    }

    FakeSpeechEngine fakeEngine;
    SpeechEngine *realEngine = nullptr;
    ScriptedMessageBox messageBox;
    ScriptedFileDialogs fileDialogs;
    RecordingUrlOpener urlOpener;
    FixedClock clock;
    ScriptedProgressDialogs progressDialogs;
};
