#include "engine/rendering/spfilestream.h"

#include "engine/client/speecherror.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sndfile.h>

namespace {

// libvorbis crashes on very large single writes; small chunks cost nothing.
constexpr qint64 ChunkFrames = 4096;
// The engine's rate, for a file that receives no audio at all.
constexpr int FallbackSampleRate = 22050;
// Start writing to disk every few megabytes while rendering goes on, so that the flush before
// the file replaces its target finds little left to do.
constexpr qint64 WritebackBytes = 4 << 20;

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
    if (m_file)
        m_file->cancelWriting(); // abandoned: the temporary file goes, the target stays
}

QString SpFileStream::failure(const QString &what, const QString &reason) const
{
    return QStringLiteral("The sound file \"%1\" could not be %2: %3")
        .arg(QDir::toNativeSeparators(m_fileName), what, reason);
}

void SpFileStream::Open(const QString &fileName, int mode, bool recordEvents)
{
    Q_UNUSED(recordEvents)
    if (mode != SSFMCreateForWrite)
        throw SpeechError(QStringLiteral("Sound files can only be opened for writing."));
    closeSound();
    m_file.reset();
    m_fileName = fileName;
    m_framesWritten = 0;
    m_sampleRate = 0;
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
    if (m_sound)
        return;
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
    if (!m_sound)
        throw SpeechError(QStringLiteral("The sound file is not open."));
    for (qint64 done = 0; done < count;) {
        const qint64 chunk = std::min(ChunkFrames, count - done);
        const sf_count_t written = sf_writef_short(m_sound, samples + done, chunk);
        if (written != chunk)
            throw SpeechError(
                failure(QStringLiteral("written"), QString::fromLocal8Bit(sf_strerror(m_sound))));
        done += chunk;
        m_framesWritten += chunk;
    }
    m_unflushedBytes += count * qint64(sizeof(qint16));
    if (m_unflushedBytes >= WritebackBytes) {
        ::sync_file_range(m_file->handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
        m_unflushedBytes = 0;
    }
}

void SpFileStream::Close()
{
    if (!m_file)
        throw SpeechError(QStringLiteral("The sound file is not open."));
    if (!m_sound)
        beginAudio(FallbackSampleRate); // nothing was said: still a valid, empty sound file
    // Closing writes the final headers; a full disk shows up here or in the commit.
    const int closeError = sf_close(m_sound);
    m_sound = nullptr;
    if (closeError != 0)
        throw SpeechError(
            failure(QStringLiteral("written"), QString::fromLocal8Bit(sf_error_number(closeError))));
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
