#pragma once

#include "engine/rendering/soundfileformat.h"
#include "engine/rendering/timedword.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class LoudnessLeveller;
class ParallelMp3Encoder;
class QSaveFile;
struct sf_private_tag;

enum SpeechStreamFileMode
{
    SSFMCreateForWrite = 3,
};

// A sound file that a voice speaks into. The audio goes to a temporary file beside the target,
// which replaces the target only on Close: a failure or an abandoned stream leaves any earlier
// file untouched and no half file behind. Every operation may throw SpeechError.
class SpFileStream final
{
public:
    SpFileStream();
    ~SpFileStream();
    SpFileStream(const SpFileStream &) = delete;
    SpFileStream &operator=(const SpFileStream &) = delete;

    void setFormat(SoundFileFormat format) { m_format = format; }
    [[nodiscard]] SoundFileFormat format() const { return m_format; }

    // MP3 only: 64, 96 or 128 kbps.
    void setMp3Bitrate(int kbps) { m_mp3Bitrate = kbps; }
    // Levels the audio for podcasts (LoudnessLeveller) instead of keeping the engine's level.
    void setEvenLoudness(bool even) { m_evenLoudness = even; }
    // Run on the finished file, by its descriptor (read and write), before it replaces the
    // target: tags go in here, so that the file appears complete or not at all. Set before the
    // audio begins, an MP3 file starts with an empty ID3v2 tag with room for them, which the
    // tags then fill in place instead of the whole file moving up behind them.
    void setBeforeCommit(std::function<void(int fileDescriptor)> finish);

    // With recordEvents, the stream keeps the spoken words' times (recordedWords); they are not
    // stored in the file.
    void Open(const QString &fileName, int mode = SSFMCreateForWrite, bool recordEvents = false);
    // Completes the file and puts it in place of the target.
    void Close();

    // Called by the voice that speaks into the stream.
    void beginAudio(int sampleRate);
    void writeAudio(const qint16 *samples, qint64 count);
    [[nodiscard]] bool recordsEvents() const { return m_recordEvents; }
    void recordWords(const QList<TimedWord> &words) { m_words += words; }
    [[nodiscard]] const QList<TimedWord> &recordedWords() const { return m_words; }

    [[nodiscard]] bool isOpen() const { return m_file != nullptr; }
    // The audio written so far, and its rate (0 before any audio).
    [[nodiscard]] qint64 framesWritten() const { return m_framesWritten; }
    [[nodiscard]] int sampleRate() const { return m_sampleRate; }
    [[nodiscard]] const QString &fileName() const { return m_fileName; }

private:
    [[nodiscard]] QString failure(const QString &what, const QString &reason) const;
    void closeSound();
    void writeLevelled(const float *samples, qint64 count);
    void writeEncoded(const QByteArray &mp3);
    void syncAsWritten(qint64 bytes);
    void finishMp3();

    SoundFileFormat m_format = SoundFileFormat::Wav;
    QString m_fileName;
    std::unique_ptr<QSaveFile> m_file;
    sf_private_tag *m_sound = nullptr;
    qint64 m_unsyncedBytes = 0;
    qint64 m_mp3Start = 0; // after the room for tags
    qint64 m_framesWritten = 0;
    int m_sampleRate = 0;
    int m_mp3Bitrate = 96;
    bool m_evenLoudness = false;
    bool m_recordEvents = false;
    std::function<void(int)> m_beforeCommit;
    std::unique_ptr<ParallelMp3Encoder> m_mp3;
    std::unique_ptr<LoudnessLeveller> m_leveller;
    QList<TimedWord> m_words;
};
