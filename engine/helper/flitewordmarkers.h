#pragma once

#include "engine/helper/wordmarker.h"

#include <string_view>

struct cst_utterance_struct;

// Word markers for text that flite speaks a piece at a time. flite reports no word events, but
// each utterance knows its words' segment times and the tokens they came from; the tokens are
// found back in the piece's text. Every piece's utterance is complete before its first audio
// is streamed, so its markers can go out ahead of that audio.
class FliteWordMarkers final
{
public:
    explicit FliteWordMarkers(WordMarkerSink sink) : m_sink(std::move(sink)) {}

    // The next piece of the text: how many code points and samples of it came before.
    void beginPiece(std::string_view utf8Piece, std::uint32_t codePointsBefore, std::uint64_t samplesBefore);
    void take(const cst_utterance_struct *utterance, int sampleRate);

private:
    WordMarkerSink m_sink;
    std::string_view m_piece;
    std::uint32_t m_codePointsBefore = 0;
    std::uint64_t m_samplesBefore = 0;
};
