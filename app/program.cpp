#include "program.h"

#include "formwav.h"

Program::Program(const PlatformServices &services) : m_services(services)
{}

Program::~Program() = default;

void Program::start()
{
    m_speechWindow = std::make_unique<FormWav>(m_services);
    m_speechWindow->showCentered();
}
