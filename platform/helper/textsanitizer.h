#pragma once

#include <string>

// Removes C0 control characters other than tab, CR and LF. espeak-ng takes some of them as
// embedded commands (U+0001 changes the speed of all later speech), and NUL ends its input.
[[nodiscard]] std::string withoutControlCharacters(const std::string &utf8Text);
