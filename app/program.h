#pragma once

#include "app/speechwindowenclosure.h"
#include "platform/platformservices.h"

#include <memory>

class FormRss;
class FormWav;

// The running program: the windows and how one leads to the other, over the platform services
// it is given.
class Program final
{
public:
    explicit Program(const PlatformServices &services);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // Creates the speech window, runs its load step and shows it centered.
    void start();
    [[nodiscard]] FormWav *speechWindow() const { return m_speechWindow.get(); }
    // The feed window while it is loaded, otherwise nullptr.
    [[nodiscard]] FormRss *feedWindow() const { return m_feedWindow.get(); }

private:
    void showFeedWindow();

    PlatformServices m_services;
    std::unique_ptr<FormWav> m_speechWindow;
    SpeechWindowEnclosure m_enclosureSource{nullptr};
    std::unique_ptr<FormRss> m_feedWindow;
};
