#include "tests/support/realenginewindow.h"

RealEngineWindow::RealEngineWindow()
    : m_test(&engine()), m_window(std::make_unique<FormWav>(m_test.services()))
{}

// The window goes first: it may still be reading through the services.
RealEngineWindow::~RealEngineWindow() = default;

HelperSpeechEngine &RealEngineWindow::engine()
{
    static HelperSpeechEngine shared(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
    return shared;
}
