#pragma once

#include "engine/helper/synthesizer.h"

class EspeakSynthesizer final : public Synthesizer
{
public:
    EspeakSynthesizer();
    ~EspeakSynthesizer() override;
    EspeakSynthesizer(const EspeakSynthesizer &) = delete;
    EspeakSynthesizer &operator=(const EspeakSynthesizer &) = delete;

    [[nodiscard]] bool isAvailable() const { return m_sampleRate > 0; }
    std::vector<HelperVoiceInfo> voices() override;
    std::string selectVoice(const std::string &id) override;
    [[nodiscard]] int sampleRate() const override { return m_sampleRate; }
    std::string speak(const std::string &utf8Text, const SampleSink &samples,
                      const ProgressSink &progress) override;
    void setAdjustment(const VoiceAdjustment &adjustment) override;

private:
    int m_sampleRate = 0;
    // The parameters as the voice set them, which the adjustment is relative to.
    int m_rate = 0;
    int m_pitch = 0;
    int m_volume = 0;
};
