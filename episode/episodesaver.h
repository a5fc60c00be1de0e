#pragma once

#include "engine/rendertofile.h"
#include "episode/episodeoutline.h"
#include "episode/soundfilesettings.h"

#include <QStringList>

class SpVoice;
class SpokenText;

// What saving an episode put on disk.
struct SavedEpisode
{
    RenderedSound sound;
    // Beside the sound file, in the order written: NAME.vtt, NAME.srt, NAME.chapters.json.
    QStringList companionFiles;
};

// Renders spoken (the outline's spoken text once pronunciations have replaced some of its words)
// in the voice into the sound file, as the settings say:
// levelled, at their MP3 bitrate, with transcripts and chapters beside it. MP3, Ogg and FLAC
// files are tagged when the user has set tag details or the text has chapters; otherwise they
// hold the audio alone, as before. Throws SpeechError and SpeechCancelled as renderToFile does;
// a companion file that cannot be written fails the save after the sound file is in place.
[[nodiscard]] SavedEpisode saveEpisode(SpVoice &voice, const EpisodeOutline &outline, const SpokenText &spoken,
                                       const QString &fileName, SoundFileFormat format,
                                       const SoundFileSettings &settings,
                                       const std::function<bool(double share)> &progress);

// A file beside the sound file: its name with the sound extension (if any) replaced by suffix.
[[nodiscard]] QString companionFileName(const QString &soundFileName, const QString &suffix);

// ", with NAME.vtt, NAME.srt and NAME.chapters.json beside it", or nothing without companions.
[[nodiscard]] QString companionFilesNote(const QStringList &companionFiles);
