#include "engine/naturalvoices/wordtimeestimate.h"

#include <cmath>

namespace {

// In phonemes' worth of time. A pause at a comma is about two phonemes long, one at the end of a
// sentence about three; voices start a little after their first sample.
constexpr double LeadIn = 1.0;
constexpr double BetweenWords = 0.15;

double pauseAfter(char32_t terminator)
{
    switch (terminator) {
    case U',':
    case U':':
    case U';':
        return 2.0;
    case U'.':
    case U'?':
    case U'!':
        return 3.0;
    default:
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
