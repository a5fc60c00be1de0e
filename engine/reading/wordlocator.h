#pragma once

#include "engine/reading/textpositions.h"
#include "engine/reading/textrange.h"

#include <QString>

#include <optional>

// Finds the words of a text that the engines report. They report code points and do not
// always agree with the text on where a word ends: espeak-ng says "It's" is two characters
// long and puts the second word it reads for an emoji on the space after it. The range shown
// is always whole words of the text, as Unicode divides it (a CJK ideograph is a word).
class WordLocator final
{
public:
    explicit WordLocator(QString text);

    // The words covering a reported word, counted in code points from the text's start; none
    // when that lies outside the text or on white space with no word before it.
    [[nodiscard]] std::optional<TextRange> locate(qint64 codePoint, qint64 codePointLength) const;

    [[nodiscard]] const TextPositions &positions() const { return m_positions; }

private:
    QString m_text;
    TextPositions m_positions;
};
