#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Removes C0 control characters other than tab, CR and LF. espeak-ng takes some of them as
// embedded commands (U+0001 changes the speed of all later speech), and NUL ends its input.
[[nodiscard]] std::string withoutControlCharacters(const std::string &utf8Text);

// Code point positions of the characters that withoutControlCharacters removes, in order.
[[nodiscard]] std::vector<std::uint32_t> removedControlCharacters(const std::string &utf8Text);
// A position in the cleaned text as a position in the text as given.
[[nodiscard]] std::uint32_t positionBeforeRemoval(const std::vector<std::uint32_t> &removed,
                                                  std::uint32_t position);
