#pragma once

#include "engine/rendering/soundfileformat.h"

#include <QString>

#include <memory>

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

    // recordEvents is accepted for the interface's sake; no events are stored in the file.
    void Open(const QString &fileName, int mode = SSFMCreateForWrite, bool recordEvents = false);
    // Completes the file and puts it in place of the target.
    void Close();

    // Called by the voice that speaks into the stream.
    void beginAudio(int sampleRate);
    void writeAudio(const qint16 *samples, qint64 count);

    [[nodiscard]] bool isOpen() const { return m_file != nullptr; }
    // The audio written so far, and its rate (0 before any audio).
    [[nodiscard]] qint64 framesWritten() const { return m_framesWritten; }
    [[nodiscard]] int sampleRate() const { return m_sampleRate; }
    [[nodiscard]] const QString &fileName() const { return m_fileName; }

private:
    [[nodiscard]] QString failure(const QString &what, const QString &reason) const;
    void closeSound();

    SoundFileFormat m_format = SoundFileFormat::Wav;
    QString m_fileName;
    std::unique_ptr<QSaveFile> m_file;
    sf_private_tag *m_sound = nullptr;
    qint64 m_unflushedBytes = 0;
    qint64 m_framesWritten = 0;
    int m_sampleRate = 0;
};
