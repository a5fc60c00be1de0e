#pragma once

#include "engine/helper/synthesizer.h"
#include "engine/naturalvoices/naturalvoiceconfig.h"

#include <memory>

class OnnxVoiceModel;

// Natural (neural) voices in Piper's format: espeak-ng's phonemes for each sentence, run
// through the voice's model with onnxruntime. The voice id is the model's path.
class NaturalSynthesizer final : public Synthesizer
{
public:
    NaturalSynthesizer();
    ~NaturalSynthesizer() override;
    NaturalSynthesizer(const NaturalSynthesizer &) = delete;
    NaturalSynthesizer &operator=(const NaturalSynthesizer &) = delete;

    std::vector<HelperVoiceInfo> voices() override;
    std::string selectVoice(const std::string &id) override;
    [[nodiscard]] int sampleRate() const override { return m_config ? m_config->sampleRate : 0; }
    std::string speak(const std::string &utf8Text, const SampleSink &samples,
                      const ProgressSink &progress) override;
    void setAdjustment(const VoiceAdjustment &adjustment) override;
    // The model runs threads of onnxruntime's: no copies of this process are made.
    [[nodiscard]] bool speaksInForkedCopies() const override { return false; }

    // Why the voice at the path cannot be used, or empty when it can: its configuration and its
    // model's inputs and outputs are checked.
    [[nodiscard]] static std::string check(const std::string &modelPath);

private:
    bool m_espeakReady = false;
    std::optional<NaturalVoiceConfig> m_config;
    std::unique_ptr<OnnxVoiceModel> m_model;
    VoiceAdjustment m_adjustment;
};
