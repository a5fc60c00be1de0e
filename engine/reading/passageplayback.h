#pragma once

#include "engine/client/passage.h"
#include "engine/client/speechoutcome.h"
#include "engine/client/spobjecttoken.h"
#include "engine/protocol/voiceadjustment.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QIODevice>

#include <limits>
#include <memory>

class SpeechHelperProcess;

// A reading's audio as a sequential device that the audio output pulls from. One helper speaks
// the passages one after another, the next one always queued, so playback does not wait between
// passages; the pipe's capacity holds the helper back to the listener's pace. A passage the
// engine fails on, or that brings no audio for a while, is skipped and the reading goes on with
// a fresh helper; three in a row end it. A read never blocks.
class PassagePlayback final : public QIODevice
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PassagePlayback)

public:
    PassagePlayback(QString helperPath, SpObjectToken voice, QList<Passage> passages,
                    QObject *parent = nullptr);
    ~PassagePlayback() override;

    // Starts the helper and waits for the first audio; returns its sample rate, or 0 when the
    // reading ended without any. Throws SpeechError when the engine cannot speak at all.
    int start(QDeadlineTimer deadline);
    // Time spent paused is not a stalled engine.
    void restartStallClock();
    // Heard from the next passage on (passages that arrived in the old voice and are not yet
    // heard are spoken again); before start, from the first.
    void setAdjustment(const VoiceAdjustment &adjustment);

    [[nodiscard]] bool isSequential() const override { return true; }
    [[nodiscard]] bool audioEnded() const { return m_ended; }
    [[nodiscard]] qint64 bytesDelivered() const { return m_delivered; }
    [[nodiscard]] SpeechOutcome outcome() const { return m_outcome; }

Q_SIGNALS:
    void firstAudioDelivered();
    // Every passage has been spoken or skipped, or the engine gave up: all audio is handed on.
    void ended();
    // A word is about to be heard: where it lies in the passage that starts at passageStart in
    // the text, in code points, and where in the reading's audio it begins.
    void wordMarked(qsizetype passageStart, quint32 start, quint32 length, qint64 atUSecs);
    // The audio from that moment of the reading on was dropped; its words come again.
    void audioDiscarded(qint64 fromUSecs);

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    // Takes in what the helper has sent, without blocking, or up to the start of a passage;
    // false when nothing came.
    bool receive(qsizetype stopAtPassage = std::numeric_limits<qsizetype>::max());
    void passageFinished(bool spoken);
    void sendPassages();
    void replaceHelper();
    void speakAgainFrom(qsizetype passage);
    void end(const QString &failure = {});

    QString m_helperPath;
    SpObjectToken m_voice;
    VoiceAdjustment m_adjustment;
    QList<Passage> m_passages;
    std::unique_ptr<SpeechHelperProcess> m_helper;
    qsizetype m_speaking = 0; // the passage the helper speaks now
    qsizetype m_sent = 0;     // passages handed to the helper
    QByteArray m_audio;       // received, not yet handed on
    qsizetype m_audioOffset = 0;
    int m_failuresInARow = 0;
    QElapsedTimer m_sinceAudio;
    SpeechOutcome m_outcome;
    qint64 m_delivered = 0;
    int m_sampleRate = 0;
    qint64 m_receivedBytes = 0;    // of audio, over all passages
    qint64 m_passageFirstByte = 0; // of the passage being spoken, in that count
    QList<qint64> m_firstBytes;    // of the passages received, by index, in that count
    bool m_ended = false;
    bool m_endReported = false;
};
