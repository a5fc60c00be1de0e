#pragma once

#include "engine/helper/espeakphonemizer.h"

#include <vector>

// The model's memory grows with the audio of one run: a 10 s sentence takes some 300 MB. Runs
// are kept to about 4 s of speech, the length of all but the longest sentences, so that a sentence
// is spoken whole as the voice was trained to, and two rendering helpers stay well under 500 MB.
inline constexpr std::size_t MaxRunPhonemes = 160;

// The sentence as the model is run on it: whole when it is short enough, else cut after clauses,
// and a clause too long on its own between words.
[[nodiscard]] std::vector<PhonemizedSentence> modelRuns(PhonemizedSentence sentence);
