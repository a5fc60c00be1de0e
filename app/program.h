#pragma once

#include "platformservices.h"

#include <memory>

class FormWav;

// The running program: its windows, over the platform services it is given.
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

private:
    PlatformServices m_services;
    std::unique_ptr<FormWav> m_speechWindow;
};
