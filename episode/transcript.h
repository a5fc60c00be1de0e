#pragma once

#include "engine/rendering/timedword.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A stretch of the transcript: a sentence (a passage of the text, as the engine speaks it)
// from its first word until the next sentence begins.
struct TranscriptCue
{
    qint64 startMs = 0;
    qint64 endMs = 0;
    QString text;
};

// The cues of a rendered text, from its spoken words; a sentence without a spoken word (one
// the engine skipped) has none.
[[nodiscard]] QList<TranscriptCue> transcriptCues(const QString &spokenText, const QList<TimedWord> &words,
                                                  int sampleRate, qint64 totalFrames);

[[nodiscard]] QByteArray webVtt(const QList<TranscriptCue> &cues);
[[nodiscard]] QByteArray subRip(const QList<TranscriptCue> &cues);
