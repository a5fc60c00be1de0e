#pragma once

#include <cstdint>
#include <functional>

// Where a spoken word lies in the text one speak call was given, and where its audio begins.
// Positions count Unicode code points, the way the engines count them; the program converts.
struct WordMarker
{
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    // From the first sample of that speak call's audio.
    std::uint64_t sample = 0;

    bool operator==(const WordMarker &) const = default;
};

// Receives markers in text order, before the audio they point into.
using WordMarkerSink = std::function<void(const WordMarker &marker)>;
