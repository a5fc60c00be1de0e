#include "engine/helper/textsanitizer.h"

#include "engine/helper/utf8.h"

namespace {

bool isRemoved(char c)
{
    // UTF-8 continuation and lead bytes are all >= 0x80, so a byte test is safe here.
    return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n';
}

} // namespace

std::string withoutControlCharacters(const std::string &utf8Text)
{
    std::string result;
    result.reserve(utf8Text.size());
    for (const char c : utf8Text) {
        if (!isRemoved(c))
            result.push_back(c);
    }
    return result;
}

std::vector<std::uint32_t> removedControlCharacters(const std::string &utf8Text)
{
    std::vector<std::uint32_t> removed;
    std::uint32_t position = 0;
    for (const char c : utf8Text) {
        if (isRemoved(c))
            removed.push_back(position);
        if (!isUtf8ContinuationByte(c))
            ++position;
    }
    return removed;
}

std::uint32_t positionBeforeRemoval(const std::vector<std::uint32_t> &removed, std::uint32_t position)
{
    for (const std::uint32_t at : removed) {
        if (at > position)
            break;
        ++position;
    }
    return position;
}
