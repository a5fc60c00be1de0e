#pragma once

#include <QString>

// The sound file formats a voice can speak into. WAV is the default: 16-bit PCM, mono, at the
// engine's own rate; the others are the compressed forms podcast directories ask for.
enum class SoundFileFormat
{
    Wav,
    Mp3,
    OggVorbis,
    Flac,
};

// The media type a feed's enclosure announces for the format ("audio/wav", ...).
[[nodiscard]] QString mediaTypeOf(SoundFileFormat format);

// The format a typed file name asks for: a name ending in .wav, .mp3, .ogg or .flac (any
// letter case) decides it; any other name takes the format of the dialog's chosen entry.
[[nodiscard]] SoundFileFormat soundFileFormatFor(QStringView fileName, SoundFileFormat chosenEntry);
