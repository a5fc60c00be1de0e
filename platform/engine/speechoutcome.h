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

// 'The speech engine failed on 1 passage, which was skipped: "..." (line 12).', naming at most
// five passages; empty when none was skipped.
[[nodiscard]] QString skippedPassagesMessage(const QList<SkippedPassage> &skipped);
