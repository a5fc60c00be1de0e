#pragma once

#include "engine/naturalvoices/wordtimeestimate.h"

#include <string>
#include <vector>

// A sentence in espeak-ng's IPA, as natural voices were trained on it: its clauses' phonemes,
// each followed by the punctuation the clause ended in (and a space after a comma, colon or
// semicolon), with espeak-ng's language-switch marks left out.
struct PhonemizedSentence
{
    std::string phonemes; // UTF-8
    std::vector<PhonemizedClause> clauses;
    std::vector<std::size_t> clauseEnds; // where each clause's phonemes end in phonemes
};

// Text to phonemes through espeak-ng, clause by clause. espeak-ng must be initialised and set
// to the voice's language (selectLanguage).
namespace EspeakPhonemizer {

// Initialises espeak-ng once for the process, for its voices and its phonemes alike (a second
// initialisation starts a second event thread, and ending espeak-ng then hangs); its sample
// rate, or 0 when its data cannot be loaded.
[[nodiscard]] int initialise();

// An empty string, or why espeak-ng cannot speak that language.
[[nodiscard]] std::string selectLanguage(const std::string &espeakVoice);
// The voice's name for people: "English (America)" for "en-us"; empty when unknown.
[[nodiscard]] std::string languageName(const std::string &espeakVoice);
[[nodiscard]] std::vector<PhonemizedSentence> sentences(const std::string &utf8Text);

} // namespace EspeakPhonemizer
