#pragma once

#include "feedwindow/enclosuresource.h"

class FormWav;

// The enclosure fields of the speech window, read afresh each time the feed window asks.
class SpeechWindowEnclosure final : public EnclosureSource
{
public:
    // speechWindow may be null: then there is no enclosure.
    explicit SpeechWindowEnclosure(const FormWav *speechWindow) : m_speechWindow(speechWindow) {}

    void setSpeechWindow(const FormWav *speechWindow) { m_speechWindow = speechWindow; }

    [[nodiscard]] std::optional<Enclosure> enclosure() const override;

private:
    const FormWav *m_speechWindow;
};
