#include "platform/engine/soundfileformat.h"

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
