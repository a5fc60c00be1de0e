#pragma once

#include <QString>

// One entry of the pronunciation list: what is written, and what the engine should be given
// to say instead.
struct Pronunciation
{
    QString written;
    QString spoken;
    bool caseSensitive = false;
    // written is a regular expression; spoken may name its groups as \1 to \9.
    bool regularExpression = false;
    // Applies only to voices of this language ("en" takes in "en-us"); empty for every voice.
    QString language;

    bool operator==(const Pronunciation &) const = default;
};
