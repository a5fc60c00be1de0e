#include "episode/soundfilesettings.h"

#include "engine/rendering/mp3encoder.h"

#include <QSettings>

#include <algorithm>

namespace {

const QString Group = QStringLiteral("soundfile");
const QString BitrateKey = QStringLiteral("mp3Bitrate");
const QString EvenLoudnessKey = QStringLiteral("evenLoudness");
const QString TranscriptsKey = QStringLiteral("transcripts");
const QString ArtistKey = QStringLiteral("artist");
const QString AlbumKey = QStringLiteral("album");
const QString CoverKey = QStringLiteral("coverImage");

const std::pair<SoundFileSettings::EvenLoudness, QString> EvenLoudnessNames[] = {
    {SoundFileSettings::EvenLoudness::Mp3AndOgg, QStringLiteral("mp3AndOgg")},
    {SoundFileSettings::EvenLoudness::AllFormats, QStringLiteral("all")},
    {SoundFileSettings::EvenLoudness::Off, QStringLiteral("off")},
};

} // namespace

bool SoundFileSettings::levels(SoundFileFormat format) const
{
    switch (evenLoudness) {
    case EvenLoudness::Mp3AndOgg:
        return format == SoundFileFormat::Mp3 || format == SoundFileFormat::OggVorbis;
    case EvenLoudness::AllFormats:
        return true;
    case EvenLoudness::Off:
        return false;
    }
    return false;
}

bool SoundFileSettings::hasTagDetails() const
{
    return !artist.isEmpty() || !album.isEmpty() || !coverImagePath.isEmpty();
}

SoundFileSettings SoundFileSettings::load()
{
    QSettings stored;
    stored.beginGroup(Group);
    SoundFileSettings settings;
    const int bitrate = stored.value(BitrateKey, settings.mp3Bitrate).toInt();
    if (std::ranges::find(Mp3Encoder::Bitrates, bitrate) != std::end(Mp3Encoder::Bitrates))
        settings.mp3Bitrate = bitrate;
    const QString even = stored.value(EvenLoudnessKey).toString();
    for (const auto &[value, name] : EvenLoudnessNames)
        if (name == even)
            settings.evenLoudness = value;
    settings.transcripts = stored.value(TranscriptsKey, settings.transcripts).toBool();
    settings.artist = stored.value(ArtistKey).toString();
    settings.album = stored.value(AlbumKey).toString();
    settings.coverImagePath = stored.value(CoverKey).toString();
    return settings;
}

void SoundFileSettings::save() const
{
    QSettings stored;
    stored.beginGroup(Group);
    stored.setValue(BitrateKey, mp3Bitrate);
    for (const auto &[value, name] : EvenLoudnessNames)
        if (value == evenLoudness)
            stored.setValue(EvenLoudnessKey, name);
    stored.setValue(TranscriptsKey, transcripts);
    stored.setValue(ArtistKey, artist);
    stored.setValue(AlbumKey, album);
    stored.setValue(CoverKey, coverImagePath);
}
