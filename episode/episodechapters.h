#pragma once

#include "engine/rendering/timedword.h"
#include "episode/episodeoutline.h"

#include <QByteArray>
#include <QList>

// A chapter placed in the sound file: from the first spoken word of its heading to the next
// chapter, or to the end.
struct TimedChapter
{
    QString title;
    qint64 startMs = 0;
    qint64 endMs = 0;
};

// Chapters whose heading nothing was spoken after (skipped by the engine) are left out.
[[nodiscard]] QList<TimedChapter> timedChapters(const QList<ChapterMark> &chapters,
                                                const QList<TimedWord> &words, int sampleRate,
                                                qint64 totalFrames);

// The Podcast Index chapters file: {"version": "1.2.0", "chapters": [{"startTime": s, "title": t}]}.
[[nodiscard]] QByteArray podcastChaptersJson(const QList<TimedChapter> &chapters);
