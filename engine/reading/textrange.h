#pragma once

#include <QtGlobal>

// A run of characters of a QString: where it starts and how many QChars it covers.
struct TextRange
{
    qsizetype start = 0;
    qsizetype length = 0;

    [[nodiscard]] qsizetype end() const { return start + length; }
    bool operator==(const TextRange &) const = default;
};
