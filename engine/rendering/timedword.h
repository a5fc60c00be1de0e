#pragma once

#include <QtGlobal>

// A spoken word of a rendered text: where it lies in the text (QString indexes, as the engine
// reported it) and the frame of the sound file where it begins.
struct TimedWord
{
    qsizetype start = 0;
    qsizetype length = 0;
    qint64 frame = 0;
    friend bool operator==(const TimedWord &, const TimedWord &) = default;
};
