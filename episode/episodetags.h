#pragma once

#include "engine/rendering/soundfileformat.h"
#include "episode/episodechapters.h"

#include <QList>
#include <QString>

// What a podcast app shows of an episode, written into the sound file itself.
struct EpisodeTags
{
    QString title;
    QString artist;
    QString album;
    int year = 0;
    QString coverImagePath; // empty: no cover
    QList<TimedChapter> chapters;
};

// Writes the tags into an open sound file (read and write) through TagLib: ID3v2.4 with CHAP
// and CTOC frames for MP3, Vorbis comments (CHAPTERnnn for chapters) for Ogg Vorbis and FLAC;
// genre "Podcast". WAV files are left as they are. Throws SpeechError with a description.
void writeEpisodeTags(int fileDescriptor, SoundFileFormat format, const EpisodeTags &tags);
