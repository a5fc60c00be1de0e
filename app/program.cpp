#include "app/program.h"

#include "feedwindow/formrss.h"
#include "speechwindow/formwav.h"

#include <QPointer>

Program::Program(const PlatformServices &services) : m_services(services)
{}

Program::~Program() = default;

void Program::start()
{
    m_speechWindow = std::make_unique<FormWav>(m_services);
    m_enclosureSource.setSpeechWindow(m_speechWindow.get());
    QObject::connect(m_speechWindow.get(), &FormWav::feedWindowRequested, m_speechWindow.get(),
                     [this] { showFeedWindow(); });
    m_speechWindow->showCentered();
}

void Program::showFeedWindow()
{
    if (m_feedWindow && m_feedWindow->isVisible()) {
        m_feedWindow->raise();
        m_feedWindow->activateWindow();
        return;
    }
    // Every opening after a close starts from a fresh window: empty fields and a new date.
    m_feedWindow = std::make_unique<FormRss>(m_services, &m_enclosureSource);
    // Shown before the feed window's close completes, so the program still has a window and
    // goes on.
    QObject::connect(m_feedWindow.get(), &FormRss::unloaded, m_speechWindow.get(),
                     [this] { m_speechWindow->show(); });
    // The window cannot be destroyed inside its own close; it goes once the close is done.
    const QPointer<FormRss> window = m_feedWindow.get();
    QObject::connect(
        m_feedWindow.get(), &FormRss::unloaded, m_speechWindow.get(),
        [this, window] {
            if (window && window == m_feedWindow.get())
                m_feedWindow.reset();
        },
        Qt::QueuedConnection);
    m_feedWindow->showCentered();
}
