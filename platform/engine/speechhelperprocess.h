#pragma once

#include "platform/engine/spobjecttoken.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QProcess>

// One synthesis in the helper process: the text goes in on its standard input, the audio comes
// back through a pipe of its own. The pipe's capacity is what holds the helper back when the
// listener is slower than the engine.
class SpeechHelperProcess final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpeechHelperProcess)

public:
    // Playback keeps little audio ahead of the listener; rendering into a file wants
    // throughput and the helper's progress reports.
    enum class Purpose
    {
        Playback,
        Rendering
    };

    SpeechHelperProcess(QString helperPath, SpObjectToken voice, Purpose purpose, QObject *parent = nullptr);
    ~SpeechHelperProcess() override;

    // Starts the helper and hands it the whole text. Throws SpeechError.
    void start(const QString &text);
    // Waits until the first audio can be read, and returns the sample rate; returns 0 when the
    // helper ended cleanly without producing any audio. Throws SpeechError when it failed.
    [[nodiscard]] int waitForFirstAudio(QDeadlineTimer deadline);
    // Reads what the pipe holds without blocking: bytes read, 0 when nothing is there yet,
    // -1 at the end of the audio.
    [[nodiscard]] qint64 readAvailableAudio(char *data, qint64 maxSize);
    // Blocks until some audio arrives or the audio ends (-1). Throws SpeechError on timeout.
    [[nodiscard]] qint64 readAudio(char *data, qint64 maxSize, QDeadlineTimer deadline);
    // After the audio has ended: empty when the helper finished normally, else the failure.
    [[nodiscard]] QString failureAfterEnd();
    void kill();
    // Takes in the progress the helper has reported so far, without waiting.
    void readProgress();

    [[nodiscard]] int sampleRate() const { return m_sampleRate; }
    [[nodiscard]] qint64 processId() const { return m_process.processId(); }

Q_SIGNALS:
    void progressed(qint64 done, qint64 total);

private:
    void readProgressLines();
    // The poll events of the audio pipe, 0 when the deadline passed first.
    [[nodiscard]] short waitReadable(QDeadlineTimer deadline);

    QString m_helperPath;
    SpObjectToken m_voice;
    Purpose m_purpose;
    QProcess m_process;
    int m_audioFd = -1;
    int m_sampleRate = 0;
    bool m_audioEnded = false;
};
