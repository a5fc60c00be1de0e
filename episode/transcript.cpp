#include "episode/transcript.h"

#include "engine/client/passage.h"

namespace {

const QString LineBreak = QStringLiteral("\r\n");

// HH:MM:SS followed by the separator and milliseconds: "." in WebVTT, "," in SubRip.
QString timestamp(qint64 ms, QChar separator)
{
    return QStringLiteral("%1:%2:%3%4%5")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(separator)
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QString escapedForVtt(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&amp;"))
        .replace(QLatin1Char('<'), QStringLiteral("&lt;"))
        .replace(QLatin1Char('>'), QStringLiteral("&gt;"));
}

} // namespace

QList<TranscriptCue> transcriptCues(const QString &spokenText, const QList<TimedWord> &words, int sampleRate,
                                    qint64 totalFrames)
{
    QList<TranscriptCue> cues;
    if (sampleRate <= 0)
        return cues;
    const auto ms = [sampleRate](qint64 frame) { return frame * 1000 / sampleRate; };
    qsizetype word = 0;
    for (const Passage &passage : passagesOf(spokenText)) {
        const qsizetype end = passage.start + passage.characters;
        while (word < words.size() && words.at(word).start < passage.start)
            ++word;
        if (word >= words.size() || words.at(word).start >= end)
            continue; // nothing of it was spoken
        cues.append({ms(words.at(word).frame), 0, QString::fromUtf8(passage.utf8).simplified()});
    }
    for (qsizetype i = 0; i < cues.size(); ++i)
        cues[i].endMs =
            i + 1 < cues.size() ? cues.at(i + 1).startMs : std::max(ms(totalFrames), cues.at(i).startMs);
    return cues;
}

QByteArray webVtt(const QList<TranscriptCue> &cues)
{
    QString text = QStringLiteral("WEBVTT") + LineBreak;
    for (qsizetype i = 0; i < cues.size(); ++i) {
        const TranscriptCue &cue = cues.at(i);
        text += LineBreak + QString::number(i + 1) + LineBreak + timestamp(cue.startMs, QLatin1Char('.')) +
                QStringLiteral(" --> ") + timestamp(cue.endMs, QLatin1Char('.')) + LineBreak +
                escapedForVtt(cue.text) + LineBreak;
    }
    return text.toUtf8();
}

QByteArray subRip(const QList<TranscriptCue> &cues)
{
    QString text;
    for (qsizetype i = 0; i < cues.size(); ++i) {
        const TranscriptCue &cue = cues.at(i);
        if (i > 0)
            text += LineBreak;
        text += QString::number(i + 1) + LineBreak + timestamp(cue.startMs, QLatin1Char(',')) +
                QStringLiteral(" --> ") + timestamp(cue.endMs, QLatin1Char(',')) + LineBreak + cue.text +
                LineBreak;
    }
    return text.toUtf8();
}
