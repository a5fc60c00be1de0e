#include "engine/helper/textchunks.h"

#include "engine/helper/utf8.h"

#include <algorithm>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Where the chunk starting at `begin` ends (exclusive), looking no further than maxBytes.
std::size_t chunkEnd(std::string_view text, std::size_t begin, std::size_t maxBytes, std::size_t maxWordBytes)
{
    std::size_t limit = text.size() - begin <= maxBytes ? text.size() : begin + maxBytes;
    std::size_t lastSpace = 0;
    for (std::size_t i = begin; i < limit; ++i) {
        const char c = text[i];
        if (c == '\n')
            return i + 1;
        if (!isSpace(c)) {
            if (i - std::max(begin, lastSpace) >= maxWordBytes) {
                limit = i;
                break;
            }
        } else {
            lastSpace = i + 1;
            const char previous = i > begin ? text[i - 1] : ' ';
            if (previous == '.' || previous == '!' || previous == '?')
                return i + 1;
        }
    }
    if (limit == text.size())
        return limit;
    if (lastSpace > begin)
        return lastSpace;
    // No white space: cut at the last character boundary, or after the first character when
    // even that is wider than the limit.
    std::size_t end = limit;
    while (end > begin && isUtf8ContinuationByte(text[end]))
        --end;
    if (end > begin)
        return end;
    end = begin + 1;
    while (end < text.size() && isUtf8ContinuationByte(text[end]))
        ++end;
    return end;
}

} // namespace

std::vector<std::string_view> textChunks(std::string_view utf8Text, std::size_t maxBytes,
                                         std::size_t maxWordBytes)
{
    std::vector<std::string_view> chunks;
    maxBytes = std::max<std::size_t>(maxBytes, 1);
    maxWordBytes = std::max<std::size_t>(maxWordBytes, 1);
    for (std::size_t begin = 0; begin < utf8Text.size();) {
        const std::size_t end = chunkEnd(utf8Text, begin, maxBytes, maxWordBytes);
        chunks.push_back(utf8Text.substr(begin, end - begin));
        begin = end;
    }
    return chunks;
}
