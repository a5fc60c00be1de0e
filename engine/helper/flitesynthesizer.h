#pragma once

#include "engine/helper/synthesizer.h"

struct cst_voice_struct;

// flite's built-in English voices. They sound more natural than espeak-ng's but speak English
// only, at 16 kHz (8 kHz for kal).
class FliteSynthesizer final : public Synthesizer
{
public:
    FliteSynthesizer();

    std::vector<HelperVoiceInfo> voices() override;
    std::string selectVoice(const std::string &id) override;
    [[nodiscard]] int sampleRate() const override { return m_sampleRate; }
    std::string speak(const std::string &utf8Text, const SampleSink &samples,
                      const ProgressSink &progress) override;
    void setAdjustment(const VoiceAdjustment &adjustment) override;

private:
    // flite's voices live as long as the process; nothing frees them.
    cst_voice_struct *m_voice = nullptr;
    int m_sampleRate = 0;
    // The voice's own duration stretch and pitch target, which the adjustment is relative to;
    // no pitch target when the voice has none to change.
    float m_durationStretch = 1.0f;
    float m_pitchTarget = 0.0f;
    float m_gain = 1.0f;
};
