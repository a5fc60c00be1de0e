#pragma once

#include <QList>
#include <QString>

// A text made to hurt a speech engine, with a name to report it by.
struct HostileText
{
    QString name;
    QString text;
};

// The same texts for the same seed: random bytes read as text, very long words and numbers,
// dotted runs, control characters, NUL, mixed scripts, emoji, markup and one text of a million
// characters. None holds more than a few minutes of speech except the last.
[[nodiscard]] QList<HostileText> hostileTexts(quint32 seed);
