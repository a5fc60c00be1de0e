#include "engine/helper/espeaksynthesizer.h"

#include "engine/helper/espeakphonemizer.h"
#include "engine/helper/espeakwordmarkers.h"
#include "engine/protocol/helperprotocol.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>

namespace {

// espeak-ng calls back through a plain function; one synthesis runs at a time in this process.
struct CallbackContext
{
    const SampleSink *samples = nullptr;
    const ProgressSink *progress = nullptr;
    EspeakWordMarkers *markers = nullptr;
    bool stopped = false;
};
CallbackContext *g_context = nullptr;

int onSynth(short *wav, int count, espeak_EVENT *events)
{
    if (g_context == nullptr || g_context->stopped)
        return 1;
    // A buffer's events point into that buffer: markers first, so they arrive before their audio.
    g_context->markers->take(events);
    if (wav != nullptr && count > 0 && !(*g_context->samples)(wav, count)) {
        // Returning 1 is the only way to stop a running synthesis; espeak_Cancel does not.
        g_context->stopped = true;
        return 1;
    }
    for (espeak_EVENT *event = events; event != nullptr && event->type != espeakEVENT_LIST_TERMINATED;
         ++event) {
        if (event->type == espeakEVENT_WORD || event->type == espeakEVENT_SENTENCE)
            (*g_context->progress)(static_cast<std::size_t>(event->text_position));
    }
    return 0;
}

std::vector<std::string> unpackLanguages(const char *packed)
{
    // A sequence of (priority byte, zero-terminated name), ended by an empty name.
    std::vector<std::string> languages;
    if (packed == nullptr)
        return languages;
    const char *cursor = packed;
    while (*cursor != 0) {
        ++cursor; // priority
        std::string language(cursor);
        cursor += language.size() + 1;
        if (!language.empty())
            languages.push_back(language);
    }
    return languages;
}

} // namespace

EspeakSynthesizer::EspeakSynthesizer()
{
    m_sampleRate = EspeakPhonemizer::initialise();
    if (isAvailable())
        espeak_SetSynthCallback(onSynth);
}

// espeak-ng stays initialised for the process's life: it cannot be initialised again after it ends.
EspeakSynthesizer::~EspeakSynthesizer() = default;

std::vector<HelperVoiceInfo> EspeakSynthesizer::voices()
{
    std::vector<HelperVoiceInfo> result;
    if (!isAvailable())
        return result;
    const espeak_VOICE **list = espeak_ListVoices(nullptr);
    for (int i = 0; list != nullptr && list[i] != nullptr; ++i) {
        const espeak_VOICE *voice = list[i];
        if (voice->name == nullptr || voice->identifier == nullptr)
            continue;
        const std::string id = voice->identifier;
        // Variants (voice modifiers) are not voices of their own.
        if (id.rfind("mb/", 0) == 0 || id.find("!v") != std::string::npos)
            continue;
        result.push_back({HelperProtocol::EspeakEngine, id, voice->name, unpackLanguages(voice->languages), 0});
    }
    return result;
}

std::string EspeakSynthesizer::selectVoice(const std::string &id)
{
    if (!isAvailable())
        return "The espeak-ng speech data could not be loaded.";
    if (espeak_SetVoiceByName(id.c_str()) != EE_OK)
        return "The voice \"" + id + "\" could not be loaded by espeak-ng.";
    m_rate = espeak_GetParameter(espeakRATE, 1);
    m_pitch = espeak_GetParameter(espeakPITCH, 1);
    m_volume = espeak_GetParameter(espeakVOLUME, 1);
    return {};
}

std::string EspeakSynthesizer::speak(const std::string &utf8Text, const SampleSink &samples,
                                     const ProgressSink &progress)
{
    EspeakWordMarkers markers(utf8Text, m_wordMarkers);
    CallbackContext context{&samples, &progress, &markers, false};
    g_context = &context;
    // No espeakSSML and no espeakPHONEMES: markup-looking input is read as the text it is.
    const espeak_ERROR error = espeak_Synth(utf8Text.c_str(), utf8Text.size() + 1, 0, POS_CHARACTER, 0,
                                            espeakCHARS_UTF8, nullptr, nullptr);
    g_context = nullptr;
    if (error != EE_OK && !context.stopped)
        return "espeak-ng could not synthesize the text.";
    return {};
}

void EspeakSynthesizer::setAdjustment(const VoiceAdjustment &adjustment)
{
    if (!isAvailable())
        return;
    // Above 450 words a minute espeak-ng speeds its output up with libsonic, so 300 % still works.
    espeak_SetParameter(espeakRATE, m_rate * adjustment.speedPercent / 100, 0);
    espeak_SetParameter(espeakPITCH, std::clamp(m_pitch * adjustment.pitchPercent / 100, 0, 100), 0);
    espeak_SetParameter(espeakVOLUME, m_volume * adjustment.volumePercent / 100, 0);
}
