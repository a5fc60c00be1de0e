#pragma once

#include "engine/helper/wordmarker.h"
#include "engine/protocol/voiceadjustment.h"

#include <functional>
#include <string>
#include <vector>

// One voice as the helper lists it: which engine, how to select it, how to show it.
struct HelperVoiceInfo
{
    std::string engine;
    std::string id;
    std::string name;
    std::vector<std::string> languages; // most preferred first
    // How natural the voice sounds next to the others for its language; higher is better.
    int naturalness = 0;
};

// Receives audio as it is produced; returns false to stop the synthesis.
using SampleSink = std::function<bool(const short *samples, int count)>;
// Receives the number of input characters spoken so far.
using ProgressSink = std::function<void(std::size_t bytesDone)>;

class Synthesizer
{
public:
    virtual ~Synthesizer() = default;
    [[nodiscard]] virtual std::vector<HelperVoiceInfo> voices() = 0;
    // Returns an empty string on success, else a readable description of the failure.
    [[nodiscard]] virtual std::string selectVoice(const std::string &id) = 0;
    [[nodiscard]] virtual int sampleRate() const = 0;
    [[nodiscard]] virtual std::string speak(const std::string &utf8Text, const SampleSink &samples,
                                            const ProgressSink &progress) = 0;
    // Speed, pitch and volume of later speak calls, relative to the selected voice's own.
    virtual void setAdjustment(const VoiceAdjustment &adjustment) = 0;
    // Whether each group may be spoken in a copy of this process forked for it. Not for an engine
    // that runs threads: a copy would inherit their locks but not the threads.
    [[nodiscard]] virtual bool speaksInForkedCopies() const { return true; }

    // Where each word of later speak calls lies, sent before its audio; none when unset.
    void setWordMarkerSink(WordMarkerSink sink) { m_wordMarkers = std::move(sink); }

protected:
    WordMarkerSink m_wordMarkers;
};
