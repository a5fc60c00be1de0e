#pragma once

#include "engine/rendering/soundfileformat.h"

#include <QString>

// How sound files are saved: remembered from one run to the next under "soundfile/".
struct SoundFileSettings
{
    // Which files "Even loudness for podcasts" levels.
    enum class EvenLoudness
    {
        Mp3AndOgg, // the podcast formats; WAV and FLAC keep the engine's own level
        AllFormats,
        Off,
    };

    int mp3Bitrate = 96; // one of Mp3Encoder::Bitrates
    EvenLoudness evenLoudness = EvenLoudness::Mp3AndOgg;
    // VTT and SRT transcripts, and the chapters file, beside the sound file.
    bool transcripts = false;
    QString artist;
    QString album;
    QString coverImagePath;

    [[nodiscard]] bool levels(SoundFileFormat format) const;
    // Something of the user's own to put into a file's tags.
    [[nodiscard]] bool hasTagDetails() const;

    [[nodiscard]] static SoundFileSettings load();
    void save() const;

    friend bool operator==(const SoundFileSettings &, const SoundFileSettings &) = default;
};
