#include "episode/episodesaver.h"

#include "engine/client/speecherror.h"
#include "episode/episodechapters.h"
#include "episode/episodetags.h"
#include "episode/transcript.h"
#include "listening/spokentext.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

void writeCompanion(const QString &path, const QByteArray &contents)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit())
        throw SpeechError(QStringLiteral("The file \"%1\" could not be written: %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
}

// The words' places in the outline's text rather than in what the engine was given, so that
// transcripts and chapters keep the written words where pronunciations replaced some.
RenderedSound withWrittenWords(RenderedSound sound, const SpokenText &spoken)
{
    if (!spoken.hasReplacements())
        return sound;
    for (TimedWord &word : sound.words) {
        const TextRange written = spoken.writtenRange({word.start, word.length});
        word.start = written.start;
        word.length = written.length;
    }
    return sound;
}

} // namespace

QString companionFileName(const QString &soundFileName, const QString &suffix)
{
    QString base = soundFileName;
    for (const QString &extension :
         {QStringLiteral(".wav"), QStringLiteral(".mp3"), QStringLiteral(".ogg"), QStringLiteral(".flac")}) {
        if (base.endsWith(extension, Qt::CaseInsensitive)) {
            base.chop(extension.size());
            break;
        }
    }
    return base + suffix;
}

QString companionFilesNote(const QStringList &companionFiles)
{
    if (companionFiles.isEmpty())
        return {};
    QStringList names;
    for (const QString &file : companionFiles)
        names.append(QFileInfo(file).fileName());
    const QString last = names.takeLast();
    const QString listed =
        names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    return QStringLiteral(", with ") + listed + QStringLiteral(" beside it");
}

SavedEpisode saveEpisode(SpVoice &voice, const EpisodeOutline &outline, const SpokenText &spoken,
                         const QString &fileName, SoundFileFormat format, const SoundFileSettings &settings,
                         const std::function<bool(double share)> &progress)
{
    const bool tagged =
        format != SoundFileFormat::Wav && (settings.hasTagDetails() || !outline.chapters.isEmpty());
    SoundFileFinisher tagging;
    if (tagged)
        tagging = [&](const RenderedSound &rendered, int fileDescriptor) {
            const RenderedSound sound = withWrittenWords(rendered, spoken);
            writeEpisodeTags(
                fileDescriptor, format,
                {.title = outline.title,
                 .artist = settings.artist,
                 .album = settings.album,
                 .year = QDate::currentDate().year(),
                 .coverImagePath = settings.coverImagePath,
                 .chapters = timedChapters(outline.chapters, sound.words, sound.sampleRate, sound.frames)});
        };

    SavedEpisode saved;
    saved.sound = renderToFile(voice,
                               {.text = spoken.text(),
                                .fileName = fileName,
                                .format = format,
                                .progress = progress,
                                .mp3Bitrate = settings.mp3Bitrate,
                                .evenLoudness = settings.levels(format)},
                               tagging);
    if (!settings.transcripts)
        return saved;

    const RenderedSound sound = withWrittenWords(saved.sound, spoken);
    const QList<TranscriptCue> cues =
        transcriptCues(outline.spokenText, sound.words, sound.sampleRate, sound.frames);
    const QString vtt = companionFileName(fileName, QStringLiteral(".vtt"));
    writeCompanion(vtt, webVtt(cues));
    saved.companionFiles.append(vtt);
    const QString srt = companionFileName(fileName, QStringLiteral(".srt"));
    writeCompanion(srt, subRip(cues));
    saved.companionFiles.append(srt);
    const QList<TimedChapter> chapters =
        timedChapters(outline.chapters, sound.words, sound.sampleRate, sound.frames);
    if (!chapters.isEmpty()) {
        const QString json = companionFileName(fileName, QStringLiteral(".chapters.json"));
        writeCompanion(json, podcastChaptersJson(chapters));
        saved.companionFiles.append(json);
    }
    return saved;
}
