#pragma once

#include <QAudio>
#include <QObject>

#include <memory>

class QAudioSink;
class QIODevice;

// Plays 16-bit mono audio pulled from a device on the default output.
class AudioOutput final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AudioOutput)

public:
    explicit AudioOutput(QObject *parent = nullptr);
    ~AudioOutput() override;

    // Throws SpeechError when there is no output or it cannot be opened.
    void start(QIODevice *source, int sampleRate);
    void suspend();
    void resume();
    void stop();

    [[nodiscard]] qint64 processedUSecs() const;

    // Throws SpeechError when no output device is reachable (no sound server, no card).
    static void ensureAvailable();

    // The output has played what it was given and found nothing more to pull.
    [[nodiscard]] bool isStarved() const;

private:
    std::unique_ptr<QAudioSink> m_sink;
};
