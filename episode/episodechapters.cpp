#include "episode/episodechapters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

QList<TimedChapter> timedChapters(const QList<ChapterMark> &chapters, const QList<TimedWord> &words,
                                  int sampleRate, qint64 totalFrames)
{
    QList<TimedChapter> timed;
    if (sampleRate <= 0)
        return timed;
    const qint64 totalMs = totalFrames * 1000 / sampleRate;
    for (const ChapterMark &chapter : chapters) {
        const auto first =
            std::lower_bound(words.begin(), words.end(), chapter.position,
                             [](const TimedWord &word, qsizetype position) { return word.start < position; });
        if (first == words.end())
            continue;
        const qint64 startMs = first->frame * 1000 / sampleRate;
        // A heading with no words of its own (all skipped) gives way to the next.
        if (!timed.isEmpty() && timed.last().startMs >= startMs)
            timed.removeLast();
        timed.append({chapter.title, startMs, totalMs});
    }
    for (qsizetype i = 0; i + 1 < timed.size(); ++i)
        timed[i].endMs = timed.at(i + 1).startMs;
    if (!timed.isEmpty())
        timed.last().endMs = std::max(timed.last().endMs, timed.last().startMs);
    return timed;
}

QByteArray podcastChaptersJson(const QList<TimedChapter> &chapters)
{
    QJsonArray list;
    for (const TimedChapter &chapter : chapters)
        list.append(QJsonObject{{QStringLiteral("startTime"), double(chapter.startMs) / 1000.0},
                                {QStringLiteral("title"), chapter.title}});
    return QJsonDocument(QJsonObject{{QStringLiteral("version"), QStringLiteral("1.2.0")},
                                     {QStringLiteral("chapters"), list}})
        .toJson(QJsonDocument::Indented);
}
