#pragma once

#include <QList>
#include <QString>

// What libsndfile reads back from a sound file on disk.
struct SoundFileInfo
{
    bool readable = false;
    int format = 0; // libsndfile's SF_FORMAT_* bits
    int channels = 0;
    int sampleRate = 0;
    qint64 frames = 0;
    int peak = 0; // the largest sample's magnitude, out of 32,767
    [[nodiscard]] double seconds() const { return sampleRate > 0 ? double(frames) / sampleRate : 0.0; }
};

[[nodiscard]] SoundFileInfo readSoundFile(const QString &path);

// The samples of a mono sound file, 16 bits each in native order.
[[nodiscard]] QList<qint16> soundFileSamples(const QString &path);
