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
    short buffer[4096];
    for (sf_count_t read; (read = sf_readf_short(file, buffer, 4096 / std::max(1, info.channels))) > 0;)
        frames += read;
    sf_close(file);
    return {true, info.format, info.channels, info.samplerate, frames};
}
