#include "engine/helper/flitesynthesizer.h"

#include "engine/helper/flitewordmarkers.h"
#include "engine/protocol/helperprotocol.h"
#include "engine/helper/textchunks.h"
#include "engine/helper/utf8.h"

#include <flite/flite.h>
extern "C" { // unlike flite.h, it does not say so itself
#include <flite/cst_cg.h>
}

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct FliteVoice
{
    const char *id;
    const char *name;
    const char *languages;
    int sampleRate;
    int naturalness;
};

// Naturalness as heard: the clustergen voices first, the old diphone voices last.
constexpr std::array fliteVoices{
    FliteVoice{"slt", "English (America) - slt", "en-us,en", 16000, 4},
    FliteVoice{"rms", "English (America) - rms", "en-us,en", 16000, 3},
    FliteVoice{"awb", "English (Scotland) - awb", "en-gb-scotland,en", 16000, 3},
    FliteVoice{"kal16", "English (America) - kal16", "en-us,en", 16000, 2},
    FliteVoice{"kal", "English (America) - kal", "en-us,en", 8000, 1},
};

// Each voice is a library of its own that exports only its registration function. Only the
// chosen one is loaded: mapped into every helper and every child it forks, the five would be a
// few megabytes each time that an espeak-ng helper never uses.
cst_voice *registerVoice(const std::string &id)
{
    const std::string library = "libflite_cmu_us_" + id + ".so.1";
    void *handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return nullptr;
    const std::string function = "register_cmu_us_" + id;
    using Register = cst_voice *(*)(const char *);
    const auto registerFunction = reinterpret_cast<Register>(::dlsym(handle, function.c_str()));
    return registerFunction != nullptr ? registerFunction(nullptr) : nullptr;
}

std::vector<std::string> splitLanguages(const std::string &packed)
{
    std::vector<std::string> languages;
    std::size_t begin = 0;
    while (begin <= packed.size()) {
        const std::size_t comma = std::min(packed.find(',', begin), packed.size());
        if (comma > begin)
            languages.push_back(packed.substr(begin, comma - begin));
        begin = comma + 1;
    }
    return languages;
}

struct StreamContext
{
    const SampleSink *samples = nullptr;
    int expectedRate = 0;
    bool stopped = false;
    int wrongRate = 0;
    FliteWordMarkers *markers = nullptr;
    std::uint64_t samplesBefore = 0; // of the earlier pieces of this speak call
    std::uint64_t pieceSamples = 0;  // of the piece being spoken
    float gain = 1.0f;
    std::vector<short> scaled;
};

const short *scaledSamples(StreamContext &context, const short *samples, int count)
{
    if (context.gain == 1.0f)
        return samples;
    context.scaled.resize(std::size_t(count));
    for (int i = 0; i < count; ++i)
        context.scaled[std::size_t(i)] = static_cast<short>(std::lround(samples[i] * context.gain));
    return context.scaled.data();
}

int onFliteAudio(const cst_wave *wave, int start, int size, int /*last*/, cst_audio_streaming_info *info)
{
    auto *context = static_cast<StreamContext *>(info->userdata);
    if (context->stopped)
        return CST_AUDIO_STREAM_STOP;
    // The stream header announced the rate before synthesis began; audio at any other rate
    // would play at the wrong pitch.
    if (wave->sample_rate != context->expectedRate) {
        context->wrongRate = wave->sample_rate;
        context->stopped = true;
        return CST_AUDIO_STREAM_STOP;
    }
    if (start == 0)
        context->markers->take(info->utt, wave->sample_rate);
    context->pieceSamples = std::uint64_t(start) + std::uint64_t(std::max(size, 0));
    if (size > 0 && !(*context->samples)(scaledSamples(*context, wave->samples + start, size), size)) {
        context->stopped = true;
        return CST_AUDIO_STREAM_STOP;
    }
    return CST_AUDIO_STREAM_CONT;
}

bool isBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

} // namespace

FliteSynthesizer::FliteSynthesizer()
{
    flite_init();
}

std::vector<HelperVoiceInfo> FliteSynthesizer::voices()
{
    std::vector<HelperVoiceInfo> result;
    for (const FliteVoice &voice : fliteVoices)
        result.push_back({HelperProtocol::FliteEngine, voice.id, voice.name, splitLanguages(voice.languages), voice.naturalness});
    return result;
}

std::string FliteSynthesizer::selectVoice(const std::string &id)
{
    const auto *found = std::find_if(fliteVoices.begin(), fliteVoices.end(),
                                     [&id](const FliteVoice &voice) { return id == voice.id; });
    if (found == fliteVoices.end())
        return "flite has no voice \"" + id + "\".";
    m_voice = registerVoice(found->id);
    if (m_voice == nullptr)
        return "The voice \"" + id + "\" could not be loaded by flite.";
    m_sampleRate = found->sampleRate;
    m_durationStretch = get_param_float(m_voice->features, "duration_stretch", 1.0f);
    if (m_durationStretch <= 0.0f)
        m_durationStretch = 1.0f;
    // Diphone voices carry their pitch target as a feature; clustergen voices in their model.
    m_pitchTarget = get_param_float(m_voice->features, "int_f0_target_mean", 0.0f);
    if (m_pitchTarget <= 0.0f && feat_present(m_voice->features, "cg_db"))
        m_pitchTarget = val_cg_db(feat_val(m_voice->features, "cg_db"))->f0_mean;
    return {};
}

std::string FliteSynthesizer::speak(const std::string &utf8Text, const SampleSink &samples,
                                    const ProgressSink &progress)
{
    if (m_voice == nullptr)
        return "No flite voice is selected.";
    FliteWordMarkers markers(m_wordMarkers);
    StreamContext context;
    context.samples = &samples;
    context.expectedRate = m_sampleRate;
    context.markers = &markers;
    context.gain = m_gain;
    cst_audio_streaming_info *info = new_audio_streaming_info();
    info->asc = onFliteAudio;
    info->userdata = &context;
    // The voice's features own the streaming info from here on.
    feat_set(m_voice->features, "streaming_info", audio_streaming_info_val(info));

    std::size_t charactersDone = 0;
    for (const std::string_view chunk : textChunks(utf8Text)) {
        if (!isBlank(chunk)) {
            const std::string sentence(chunk);
            // flite's excitation draws on rand(): the same seed gives the same samples each time.
            std::srand(1);
            markers.beginPiece(chunk, static_cast<std::uint32_t>(charactersDone), context.samplesBefore);
            context.pieceSamples = 0;
            flite_text_to_speech(sentence.c_str(), m_voice, "none");
            context.samplesBefore += context.pieceSamples;
            if (context.stopped)
                break;
        }
        charactersDone += utf8CharacterCount(chunk);
        progress(charactersDone);
    }
    feat_remove(m_voice->features, "streaming_info");
    if (context.wrongRate != 0)
        return "flite spoke at " + std::to_string(context.wrongRate) + " Hz instead of " +
               std::to_string(m_sampleRate) + " Hz.";
    return {};
}

void FliteSynthesizer::setAdjustment(const VoiceAdjustment &adjustment)
{
    if (m_voice == nullptr)
        return;
    feat_set_float(m_voice->features, "duration_stretch",
                   m_durationStretch * 100.0f / float(std::max(adjustment.speedPercent, 1)));
    if (m_pitchTarget > 0.0f)
        feat_set_float(m_voice->features, "int_f0_target_mean",
                       m_pitchTarget * float(adjustment.pitchPercent) / 100.0f);
    m_gain = float(adjustment.volumePercent) / 100.0f;
}
