#pragma once

#include "fakespeechengine.h"
#include "fixedclock.h"
#include "platformservices.h"
#include "recordingurlopener.h"
#include "scriptedfiledialogs.h"
#include "scriptedmessagebox.h"
#include "scriptedprogress.h"

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
