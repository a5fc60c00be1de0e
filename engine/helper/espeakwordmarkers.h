#pragma once

#include "engine/helper/wordmarker.h"

#include <espeak-ng/speak_lib.h>

#include <string_view>

// Turns espeak-ng's word events for one synthesis into markers. espeak-ng counts text positions
// from 1 and can report a word twice or out of order (numbers read as several words); markers
// leave in text order, inside the text, or not at all.
class EspeakWordMarkers final
{
public:
    EspeakWordMarkers(std::string_view utf8Text, WordMarkerSink sink);

    // The event list of one synth callback, terminated by espeakEVENT_LIST_TERMINATED.
    void take(const espeak_EVENT *events);

private:
    std::uint32_t m_textLength;
    WordMarkerSink m_sink;
    std::uint32_t m_lastStart = 0;
    bool m_any = false;
};
