#pragma once

#include "engine/client/spobjecttoken.h"
#include "engine/protocol/helperprotocol.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QProcess>

#include <memory>

class QSocketNotifier;

// One helper process, speaking the passages it is sent one after another. The audio comes back
// as frames through a pipe of its own; the pipe's capacity is what holds the helper back when
// the listener is slower than the engine. Nothing here waits except the blocking forms (start,
// waitForHeader, waitReadable), which only tests use; the program drives it through HelperSession.
class SpeechHelperProcess final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpeechHelperProcess)

public:
    // Playback keeps little audio ahead of the listener; rendering into a file wants throughput.
    enum class Purpose
    {
        Playback,
        Rendering
    };

    struct Frame
    {
        enum Kind
        {
            Nothing, // no whole frame has arrived yet
            Audio,
            PassageDone,
            PassageFailed,
            Ended,      // the helper has closed its end, or the stream broke
            WordMarker, // only when asked for
            Heartbeat,  // at work on passages spoken unheard
        };
        Kind kind = Nothing;
        QByteArray audio;                       // samples, for Audio
        HelperProtocol::WordMarkerPayload word; // for WordMarker
    };

    SpeechHelperProcess(QString helperPath, SpObjectToken voice, Purpose purpose, QObject *parent = nullptr);
    ~SpeechHelperProcess() override;

    // Starts the helper and waits for its stream header; returns the sample rate. Throws
    // SpeechError with the helper's own description when it cannot speak in that voice.
    int start(QDeadlineTimer deadline);
    // Starts the helper without waiting; passages may be sent at once. Throws SpeechError when
    // the pipes cannot be made.
    void launch();
    int waitForHeader(QDeadlineTimer deadline);
    // The stream header's rate once it has come, without blocking: 0 while it has not, -1 when
    // the stream ended first, -2 when it is not our stream.
    [[nodiscard]] int readHeader();
    // Queues a passage of UTF-8 text; false when the helper is gone.
    bool sendPassage(const QByteArray &utf8);
    // Queues passages to be spoken one after another from one copy of the engine, the first
    // quiet of them unheard. What the helper cannot take yet is sent as it reads.
    bool sendGroup(const QList<QByteArray> &utf8, qsizetype quiet = 0);
    // The next frame, without blocking.
    [[nodiscard]] Frame readFrame();
    // Why the helper ended, once it has (see ended()): its own description or that it broke.
    [[nodiscard]] QString failureDescription();
    [[nodiscard]] bool hasEnded() const { return m_process.state() == QProcess::NotRunning; }
    // Word markers are passed over unless someone follows the reading.
    void setWordMarkersWanted(bool wanted) { m_wordMarkersWanted = wanted; }
    // Blocks until something can be read or the deadline passes (false).
    bool waitReadable(QDeadlineTimer deadline);
    void kill();

    [[nodiscard]] int audioFd() const { return m_audioFd; }
    [[nodiscard]] int sampleRate() const { return m_sampleRate; }
    [[nodiscard]] qint64 processId() const { return m_process.processId(); }

Q_SIGNALS:
    // The process is gone, or never started.
    void ended();

private:
    bool sendRequest(QByteArray request);
    void sendPending();
    void dropWriteNotifier();
    // Reads what the pipe holds into the buffer: bytes read, 0 when nothing is there, -1 at the end.
    qint64 fill();
    [[nodiscard]] QString failureAfterEnd();

    QString m_helperPath;
    SpObjectToken m_voice;
    Purpose m_purpose;
    QProcess m_process;
    int m_audioFd = -1;
    int m_passageFd = -1;
    int m_sampleRate = 0;
    bool m_ended = false;
    bool m_wordMarkersWanted = false;
    QByteArray m_buffer;
    qsizetype m_consumed = 0; // of m_buffer
    QByteArray m_unsent;      // requests the helper's input could not take yet
    std::unique_ptr<QSocketNotifier> m_writable;
};
