#pragma once

#include "engine/helperspeechengine.h"
#include "speechwindow/formwav.h"
#include "tests/doubles/testservices.h"

#include <memory>

// The speech window over the real speech engine (American English locale), with every other
// service scripted. One engine serves the whole test program, so its voices are listed once.
class RealEngineWindow final
{
public:
    RealEngineWindow();
    ~RealEngineWindow();
    RealEngineWindow(const RealEngineWindow &) = delete;
    RealEngineWindow &operator=(const RealEngineWindow &) = delete;

    [[nodiscard]] static HelperSpeechEngine &engine();

    [[nodiscard]] FormWav &window() { return *m_window; }
    [[nodiscard]] TestServices &test() { return m_test; }
    [[nodiscard]] QStringList &messages() { return m_test.messageBox.messages; }

private:
    TestServices m_test;
    std::unique_ptr<FormWav> m_window;
};
