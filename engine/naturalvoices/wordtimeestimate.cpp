#include "engine/naturalvoices/wordtimeestimate.h"

#include <cmath>

namespace {

// In phonemes' worth of time, as the phonemizer counts them (a consonant is one). Measured
// against a natural voice's own durations and espeak-ng's word times alike: voices start a
// little after their first sample, and pause at a comma, colon or semicolon for about as long
// as a short word takes; the pause at a sentence's end is the silence after its last word.
constexpr double LeadIn = 0.75;
constexpr double BetweenWords = 0.3;

double pauseAfter(char32_t terminator)
{
    switch (terminator) {
    case U',':
    case U':':
    case U';':
        return 6.0;
    case U'.':
    case U'?':
    case U'!':
        return 3.0;
    default:
        // A clause that ended in no punctuation (an ellipsis, a line of its own) reaches a
        // natural voice with no pause mark, so it hardly pauses there.
        return 0.5;
    }
}

} // namespace

std::vector<std::uint64_t> estimatedWordStarts(const std::vector<PhonemizedClause> &sentence,
                                               std::uint64_t sentenceSamples)
{
    std::vector<double> starts;
    double elapsed = LeadIn;
    for (const PhonemizedClause &clause : sentence) {
        for (const PhonemizedWord &word : clause.words) {
            starts.push_back(elapsed);
            elapsed += word.phonemes + BetweenWords;
        }
        elapsed += pauseAfter(clause.terminator);
    }
    std::vector<std::uint64_t> samples;
    samples.reserve(starts.size());
    const double perUnit = elapsed > 0 ? double(sentenceSamples) / elapsed : 0.0;
    for (const double start : starts)
        samples.push_back(static_cast<std::uint64_t>(std::llround(start * perUnit)));
    return samples;
}
