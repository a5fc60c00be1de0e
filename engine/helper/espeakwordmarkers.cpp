#include "engine/helper/espeakwordmarkers.h"

#include "engine/helper/utf8.h"

#include <algorithm>

EspeakWordMarkers::EspeakWordMarkers(std::string_view utf8Text, WordMarkerSink sink)
    : m_textLength(static_cast<std::uint32_t>(utf8CharacterCount(utf8Text))), m_sink(std::move(sink))
{}

void EspeakWordMarkers::take(const espeak_EVENT *events)
{
    if (!m_sink)
        return;
    for (const espeak_EVENT *event = events; event != nullptr && event->type != espeakEVENT_LIST_TERMINATED;
         ++event) {
        if (event->type != espeakEVENT_WORD || event->text_position < 1 || event->sample < 0)
            continue;
        const auto start = static_cast<std::uint32_t>(event->text_position - 1);
        if (start >= m_textLength || (m_any && start < m_lastStart))
            continue;
        const auto length =
            static_cast<std::uint32_t>(std::clamp(event->length, 1, int(m_textLength - start)));
        m_sink({start, length, static_cast<std::uint64_t>(event->sample)});
        m_lastStart = start;
        m_any = true;
    }
}
