#include "tests/engine/soundfileinfo.h"

#include <QFile>

#include <sndfile.h>

SoundFileInfo readSoundFile(const QString &path)
{
    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return {};
    // Count what actually decodes; some formats only estimate their length in the header.
    qint64 frames = 0;
    int peak = 0;
    short buffer[4096];
    const int channels = std::max(1, info.channels);
    for (sf_count_t read; (read = sf_readf_short(file, buffer, 4096 / channels)) > 0;) {
        frames += read;
        for (sf_count_t i = 0; i < read * channels; ++i)
            peak = std::max(peak, std::abs(int(buffer[i])));
    }
    sf_close(file);
    return {true, info.format, info.channels, info.samplerate, frames, peak};
}

QList<qint16> soundFileSamples(const QString &path)
{
    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return {};
    QList<qint16> samples(qsizetype(info.frames * std::max(1, info.channels)));
    samples.resize(qsizetype(sf_read_short(file, samples.data(), sf_count_t(samples.size()))));
    sf_close(file);
    return samples;
}
