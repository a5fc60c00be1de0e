#include "engine/rendering/spfilestream.h"

#include "engine/client/speecherror.h"
#include "engine/rendering/loudnessleveller.h"
#include "engine/rendering/parallelmp3encoder.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <sndfile.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// libvorbis crashes on very large single writes, so Ogg Vorbis gets small chunks; the other
// formats write larger ones, each a system call.
constexpr qint64 VorbisChunkFrames = 4096;
constexpr qint64 ChunkFrames = 1 << 17;

[[nodiscard]] constexpr qint64 chunkFramesFor(SoundFileFormat format)
{
    return format == SoundFileFormat::OggVorbis ? VorbisChunkFrames : ChunkFrames;
}
// The engine's rate, for a file that receives no audio at all.
constexpr int FallbackSampleRate = 22050;
// The file is synced every few megabytes as it is written, so that the sync before it replaces
// its target finds little left to do. Measured on a virtual disk with a 63 MB file: the save
// ended 100-390 ms after the last audio when the writes were only started early, and 21-32 ms
// this way; the syncs on the way cost the writing thread a few tens of milliseconds each.
constexpr qint64 SyncEveryBytes = 8 << 20;
// Measured on both engines' speech: MP3 at our settings comes out this much quieter than the
// samples it was given (Vorbis: no difference), so the leveller aims that much higher.
constexpr double Mp3LoudnessLossLu = 0.5;
// Vorbis's own overshoot needs room below -1 dBTP.
constexpr double VorbisCeilingDbfs = -4.0;
// Room for an episode's tags, chapters and a small cover; a larger cover moves the file up.
constexpr int TagRoomBytes = 64 << 10;

// An ID3v2.4 tag of nothing but padding, TagRoomBytes long after its header.
QByteArray emptyId3Tag()
{
    QByteArray tag("ID3\x04\x00\x00", 6);
    for (int shift = 21; shift >= 0; shift -= 7) // the size, 7 bits a byte
        tag.append(char((TagRoomBytes >> shift) & 0x7f));
    tag.append(TagRoomBytes, '\0');
    return tag;
}

int libsndfileFormat(SoundFileFormat format)
{
    switch (format) {
    case SoundFileFormat::Wav:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case SoundFileFormat::Mp3:
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    case SoundFileFormat::OggVorbis:
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case SoundFileFormat::Flac:
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    }
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

} // namespace

SpFileStream::SpFileStream() = default;

SpFileStream::~SpFileStream()
{
    closeSound();
    m_leveller.reset();
    m_mp3.reset();
    if (m_file)
        m_file->cancelWriting(); // abandoned: the temporary file goes, the target stays
}

void SpFileStream::setBeforeCommit(std::function<void(int fileDescriptor)> finish)
{
    m_beforeCommit = std::move(finish);
}

QString SpFileStream::failure(const QString &what, const QString &reason) const
{
    return QStringLiteral("The sound file \"%1\" could not be %2: %3")
        .arg(QDir::toNativeSeparators(m_fileName), what, reason);
}

void SpFileStream::Open(const QString &fileName, int mode, bool recordEvents)
{
    if (mode != SSFMCreateForWrite)
        throw SpeechError(QStringLiteral("Sound files can only be opened for writing."));
    closeSound();
    m_leveller.reset();
    m_mp3.reset();
    m_file.reset();
    m_fileName = fileName;
    m_framesWritten = 0;
    m_unsyncedBytes = 0;
    m_sampleRate = 0;
    m_mp3Start = 0;
    m_recordEvents = recordEvents;
    m_words.clear();
    if (fileName.isEmpty())
        throw SpeechError(QStringLiteral("No file name was given for the sound file."));
    if (QFileInfo(fileName).isDir())
        throw SpeechError(failure(QStringLiteral("written"), QStringLiteral("it is a folder.")));
    auto file = std::make_unique<QSaveFile>(fileName);
    // A folder we may not write into must fail now, not fall back to writing in place.
    file->setDirectWriteFallback(false);
    if (!file->open(QIODevice::WriteOnly))
        throw SpeechError(failure(QStringLiteral("created"), file->errorString()));
    m_file = std::move(file);
}

void SpFileStream::beginAudio(int sampleRate)
{
    if (!m_file)
        throw SpeechError(QStringLiteral("The sound file is not open."));
    if (m_sound || m_mp3)
        return;
    if (m_evenLoudness)
        m_leveller = std::make_unique<LoudnessLeveller>(
            sampleRate, [this](const float *samples, qint64 count) { writeLevelled(samples, count); },
            LoudnessLeveller::TargetLufs + (m_format == SoundFileFormat::Mp3 ? Mp3LoudnessLossLu : 0.0),
            m_format == SoundFileFormat::OggVorbis ? VorbisCeilingDbfs : LoudnessLeveller::CeilingDbfs);
    if (m_format == SoundFileFormat::Mp3) {
        m_mp3 = std::make_unique<ParallelMp3Encoder>(sampleRate, m_mp3Bitrate);
        m_sampleRate = sampleRate;
        if (m_beforeCommit)
            writeEncoded(emptyId3Tag());
        m_mp3Start = m_file->pos();
        return;
    }
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = libsndfileFormat(m_format);
    if (!sf_format_check(&info))
        throw SpeechError(
            failure(QStringLiteral("written"),
                    QStringLiteral("this format does not support %1 Hz audio.").arg(sampleRate)));
    m_sound = sf_open_fd(m_file->handle(), SFM_WRITE, &info, SF_FALSE);
    if (!m_sound)
        throw SpeechError(failure(QStringLiteral("written"), QString::fromLocal8Bit(sf_strerror(nullptr))));
    m_sampleRate = sampleRate;
}

void SpFileStream::writeAudio(const qint16 *samples, qint64 count)
{
    if (!m_sound && !m_mp3)
        throw SpeechError(QStringLiteral("The sound file is not open."));
    if (m_leveller) {
        m_leveller->write(samples, count);
        m_framesWritten += count;
        return;
    }
    if (m_mp3) {
        writeEncoded(m_mp3->encode(samples, count));
        m_framesWritten += count;
        return;
    }
    const qint64 chunkFrames = chunkFramesFor(m_format);
    for (qint64 done = 0; done < count;) {
        const qint64 chunk = std::min(chunkFrames, count - done);
        const sf_count_t written = sf_writef_short(m_sound, samples + done, chunk);
        if (written != chunk)
            throw SpeechError(
                failure(QStringLiteral("written"), QString::fromLocal8Bit(sf_strerror(m_sound))));
        done += chunk;
        m_framesWritten += chunk;
    }
    syncAsWritten(count * qint64(sizeof(qint16)));
}

void SpFileStream::syncAsWritten(qint64 bytes)
{
    m_unsyncedBytes += bytes;
    if (m_unsyncedBytes < SyncEveryBytes)
        return;
    m_unsyncedBytes = 0;
    // Pipes and some special files cannot be synced; that is no fault of the file.
    if (::fdatasync(m_file->handle()) != 0 && errno != EINVAL && errno != EROFS)
        throw SpeechError(failure(QStringLiteral("written"), QString::fromLocal8Bit(std::strerror(errno))));
}

void SpFileStream::writeLevelled(const float *samples, qint64 count)
{
    if (m_mp3) {
        writeEncoded(m_mp3->encode(samples, count));
        return;
    }
    const qint64 chunkFrames = chunkFramesFor(m_format);
    for (qint64 done = 0; done < count;) {
        const qint64 chunk = std::min(chunkFrames, count - done);
        if (sf_writef_float(m_sound, samples + done, chunk) != chunk)
            throw SpeechError(
                failure(QStringLiteral("written"), QString::fromLocal8Bit(sf_strerror(m_sound))));
        done += chunk;
    }
}

void SpFileStream::writeEncoded(const QByteArray &mp3)
{
    if (!mp3.isEmpty() && m_file->write(mp3) != mp3.size())
        throw SpeechError(failure(QStringLiteral("written"), m_file->errorString()));
    syncAsWritten(mp3.size());
}

void SpFileStream::finishMp3()
{
    writeEncoded(m_mp3->flush());
    // The encoding began with a placeholder frame where the length goes.
    if (!m_file->seek(m_mp3Start))
        throw SpeechError(failure(QStringLiteral("written"), m_file->errorString()));
    writeEncoded(m_mp3->lameTagFrame());
    m_mp3.reset();
    if (!m_file->flush())
        throw SpeechError(failure(QStringLiteral("written"), m_file->errorString()));
}

void SpFileStream::Close()
{
    if (!m_file)
        throw SpeechError(QStringLiteral("The sound file is not open."));
    if (!m_sound && !m_mp3)
        beginAudio(FallbackSampleRate); // nothing was said: still a valid, empty sound file
    if (m_leveller) {
        m_leveller->finish();
        m_leveller.reset();
    }
    if (m_mp3) {
        finishMp3();
    } else {
        // Closing writes the final headers; a full disk shows up here or in the commit.
        const int closeError = sf_close(m_sound);
        m_sound = nullptr;
        if (closeError != 0)
            throw SpeechError(
                failure(QStringLiteral("written"), QString::fromLocal8Bit(sf_error_number(closeError))));
    }
    if (m_beforeCommit)
        m_beforeCommit(int(m_file->handle()));
    if (!m_file->commit()) {
        const QString reason = m_file->errorString();
        m_file.reset();
        throw SpeechError(failure(QStringLiteral("saved"), reason));
    }
    m_file.reset();
}

void SpFileStream::closeSound()
{
    if (m_sound) {
        sf_close(m_sound);
        m_sound = nullptr;
    }
}
