#include "engine/rendering/soundfileformat.h"

#include <utility>

QString mediaTypeOf(SoundFileFormat format)
{
    switch (format) {
    case SoundFileFormat::Wav:
        return QStringLiteral("audio/wav");
    case SoundFileFormat::Mp3:
        return QStringLiteral("audio/mpeg");
    case SoundFileFormat::OggVorbis:
        return QStringLiteral("audio/ogg");
    case SoundFileFormat::Flac:
        return QStringLiteral("audio/flac");
    }
    return QStringLiteral("application/octet-stream");
}

SoundFileFormat soundFileFormatFor(QStringView fileName, SoundFileFormat chosenEntry)
{
    const std::pair<QStringView, SoundFileFormat> extensions[] = {
        {u".wav", SoundFileFormat::Wav},
        {u".mp3", SoundFileFormat::Mp3},
        {u".ogg", SoundFileFormat::OggVorbis},
        {u".flac", SoundFileFormat::Flac},
    };
    for (const auto &[extension, format] : extensions) {
        if (fileName.endsWith(extension, Qt::CaseInsensitive))
            return format;
    }
    return chosenEntry;
}
