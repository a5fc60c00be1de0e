#include "platform/helper/textsanitizer.h"

std::string withoutControlCharacters(const std::string &utf8Text)
{
    std::string result;
    result.reserve(utf8Text.size());
    for (const char c : utf8Text) {
        const auto byte = static_cast<unsigned char>(c);
        // UTF-8 continuation and lead bytes are all >= 0x80, so a byte test is safe here.
        if (byte < 0x20 && c != '\t' && c != '\r' && c != '\n')
            continue;
        result.push_back(c);
    }
    return result;
}
