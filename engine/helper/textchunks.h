#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Engines that synthesize a whole call before streaming it (flite) must be fed a sentence at a
// time: one call on a long text costs gigabytes and seconds of silence.
// Splits UTF-8 text after sentence ends (. ! ? followed by white space) and line breaks. A run
// without either is cut at the last white space before maxBytes, or at a character boundary
// when there is none. A word longer than maxWordBytes is cut too: flite corrupts its heap on a
// few hundred punctuation marks in one word. The pieces, joined, give the text back unchanged.
[[nodiscard]] std::vector<std::string_view> textChunks(std::string_view utf8Text, std::size_t maxBytes = 1000,
                                                       std::size_t maxWordBytes = 200);
