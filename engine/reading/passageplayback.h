#pragma once

#include "engine/client/passage.h"
#include "engine/client/passagetally.h"
#include "engine/client/speechoutcome.h"
#include "engine/protocol/voiceadjustment.h"

#include <QIODevice>

#include <memory>

class HelperSession;

// A reading's audio as a sequential device that the audio output reads from; readyRead()
// tells it more has come. One helper session speaks the passages one after another, the next
// one always queued, so playback does not wait between passages. Audio is taken in up to about
// LookAheadSeconds ahead of the listener; beyond that the session is held back. A read never
// waits: it hands on what has come.
class PassagePlayback final : public QIODevice
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PassagePlayback)

public:
    static constexpr int LookAheadSeconds = 30;

    // The session may already be running (a helper prepared ahead), with nothing sent to it yet.
    PassagePlayback(std::unique_ptr<HelperSession> session, QList<Passage> passages, QObject *parent = nullptr);
    ~PassagePlayback() override;

    // Sends the first passages; audioArrived() follows once there is audio, ended() once all of
    // it is handed on or the engine gave up.
    void start();
    // Heard from the next passage on: passages that came in the old sound and are not heard yet
    // are spoken again. Before start, from the first passage.
    void setAdjustment(const VoiceAdjustment &adjustment);

    [[nodiscard]] bool isSequential() const override { return true; }
    [[nodiscard]] qint64 bytesAvailable() const override { return bytesBuffered() + QIODevice::bytesAvailable(); }
    // All audio is handed on and no more will come.
    [[nodiscard]] bool atEnd() const override { return m_ended && bytesAvailable() < 2; }
    [[nodiscard]] bool audioEnded() const { return m_ended; }
    [[nodiscard]] qint64 bytesDelivered() const { return m_delivered; }
    [[nodiscard]] qint64 bytesBuffered() const { return m_audio.size() - m_audioOffset; }
    [[nodiscard]] SpeechOutcome outcome() const { return m_tally.outcome(); }
    [[nodiscard]] const HelperSession &session() const { return *m_session; }

Q_SIGNALS:
    // The first audio is there, at this rate: time to start the output.
    void audioArrived(int sampleRate);
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
    void attach();
    void speakAgainFrom(qsizetype passage);
    [[nodiscard]] qint64 sampleRate() const;
    void takeAudio(const QByteArray &received);
    void passageFinished(qsizetype passage, bool spoken);
    void sendPassages();
    void updateHold();
    void end(const QString &failure = {});
    void reportEnd();

    std::unique_ptr<HelperSession> m_session;
    QList<Passage> m_passages;
    PassageTally m_tally;
    qsizetype m_finished = 0; // passages spoken or skipped
    qsizetype m_sent = 0;     // passages handed to the session
    QByteArray m_audio;       // received, not yet handed on
    qsizetype m_audioOffset = 0;
    qint64 m_delivered = 0;
    qint64 m_receivedBytes = 0;    // of audio, over all passages
    qint64 m_passageFirstByte = 0; // of the passage being spoken, in that count
    QList<qint64> m_firstBytes{0}; // of each passage begun, by index, in that count
    VoiceAdjustment m_adjustment;
    int m_sampleRate = 0; // of the first audio; a fresh session has none until it is ready
    bool m_ended = false;
    bool m_endReported = false;
};
