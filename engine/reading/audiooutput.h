#pragma once

#include <QAudio>
#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <memory>

class QAudioSink;
class QIODevice;

// Plays 16-bit mono audio read from a device on the default output. The output is fed here
// rather than left to pull: what is there goes to the server at once, so the first sound is
// not held back by the output's own polling.
class AudioOutput final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AudioOutput)

public:
    explicit AudioOutput(QObject *parent = nullptr);
    ~AudioOutput() override;

    // Reads from the source now and whenever it signals readyRead(), and as the output drains;
    // the source ends when atEnd() holds after a read that gave nothing.
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

    // Ends a process that has played sound, once everything of its own is closed.
    [[noreturn]] static void exitProcess(int status);

private:
    void feed();

    std::unique_ptr<QAudioSink> m_sink;
    QIODevice *m_device = nullptr; // the sink's, written to
    QIODevice *m_source = nullptr;
    QTimer m_feedTimer;
    QByteArray m_chunk;
    qint64 m_written = 0;
    bool m_sourceEnded = false;
};
