#include "program.h"

#include "formwav.h"

Program::Program() = default;

Program::~Program() = default;

void Program::start()
{
    const PlatformServices services{m_speechEngine, m_messageBox, m_fileDialogs,
                                    m_urlOpener,    m_clock,      m_progressDialogs};
    m_speechWindow = std::make_unique<FormWav>(services);
    m_speechWindow->showCentered();
}
