#pragma once

#include <cstdint>
#include <vector>

// A sentence as the phonemizer gave it: its clauses, each with the words it spoke and the
// punctuation it ended in.
struct PhonemizedWord
{
    std::uint32_t start = 0;  // in code points, like word markers
    std::uint32_t length = 0;
    double phonemes = 0;      // how many phonemes it was spoken as
};
struct PhonemizedClause
{
    std::vector<PhonemizedWord> words;
    char32_t terminator = 0; // one of . ? ! , : ; or 0
};

// Where each word of a sentence begins in its audio, when the voice gives no times of its own:
// the sentence's real length shared out over its phonemes, with room for the silence a voice
// leaves at the start and the pauses it makes at punctuation.
[[nodiscard]] std::vector<std::uint64_t> estimatedWordStarts(const std::vector<PhonemizedClause> &sentence,
                                                             std::uint64_t sentenceSamples);
