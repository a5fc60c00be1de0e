#pragma once

#include <QList>
#include <QString>

// A passage the engine failed on and that was left out of the reading or the file.
struct SkippedPassage
{
    QString opening; // its first characters
    int line = 1;
    friend bool operator==(const SkippedPassage &, const SkippedPassage &) = default;
};

// How a reading or a rendering ended: whole, without some passages, or stopped by a failure.
struct SpeechOutcome
{
    QString failure; // empty unless the engine gave up on the whole operation
    QList<SkippedPassage> skippedPassages;
};

// How much failure an operation takes from the engine: a helper that starts no stream in
// HelperStartTimeoutMs, or brings no audio for PassageStallTimeoutMs while a passage is wanted,
// is stuck; FailedPassagesThatEndIt failed passages in a row mean the engine is broken.
inline constexpr int HelperStartTimeoutMs = 15000;
inline constexpr qint64 PassageStallTimeoutMs = 10000;
inline constexpr int FailedPassagesThatEndIt = 3;
// A natural voice's helper loads a model of up to 120 MB before its stream starts, and runs it on
// a sentence at a time without a frame between: on a busy machine, its rendering helpers yielding
// to everything else, that was seen to take over 15 s. They are given four times as long.
inline constexpr int SlowVoiceTimeoutFactor = 4;

// What the user is told when the engine broke: "The speech engine stopped unexpectedly."
[[nodiscard]] QString engineStoppedMessage();

// 'The speech engine failed on 1 passage, which was skipped: "..." (line 12).', naming at most
// five passages; empty when none was skipped.
[[nodiscard]] QString skippedPassagesMessage(const QList<SkippedPassage> &skipped);
