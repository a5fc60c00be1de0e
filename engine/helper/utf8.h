#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

// Bytes 10xxxxxx continue a UTF-8 sequence; every other byte starts a character.
[[nodiscard]] inline bool isUtf8ContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Engines report progress in characters, so totals are counted the same way.
[[nodiscard]] inline std::size_t utf8CharacterCount(std::string_view utf8)
{
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return !isUtf8ContinuationByte(c); }));
}
