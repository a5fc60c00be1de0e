#pragma once

#include "engine/client/speechhelperprocess.h"
#include "engine/client/spobjecttoken.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

class QSocketNotifier;

// A passage as a session is given it: the caller's number for it, and its text.
struct SessionPassage
{
    qsizetype id = 0;
    QByteArray utf8;
};

// One helper's life, driven by events on the thread that owns it; nothing here waits. It starts
// the helper, sends it groups of passages, reports each passage's audio, word markers and result
// in order, and watches for trouble:
// - the engine failing on a passage: that passage fails and the helper goes on;
// - no frame for PassageStallTimeoutMs while a passage is wanted and not held back: the passage
//   fails, and a fresh helper takes over the rest;
// - the helper itself dying (killed, not the engine on a text): a fresh helper speaks the passage
//   again, unheard up to where the audio had come, so the listener and the file get the same
//   samples as from an undisturbed run; a second death on the same passage fails it.
// A fresh helper replays the earlier passages of an unfinished group unheard, from the group's
// start, the last point where the engine's state is known. A helper that cannot start at all,
// or gives no stream header within HelperStartTimeoutMs, ends the session with failed().
class HelperSession final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelperSession)

public:
    using Purpose = SpeechHelperProcess::Purpose;

    HelperSession(QString helperPath, SpObjectToken voice, Purpose purpose, QObject *parent = nullptr);
    ~HelperSession() override;

    // Starts the helper; passages may be given at once and wait in its input.
    void start();
    // Passages spoken one after another from one copy of the engine.
    void speak(QList<SessionPassage> group);
    // Held back, nothing more is read: the helper stops once its pipe is full, and that is no stall.
    void setHeldBack(bool heldBack);
    void setWordMarkersWanted(bool wanted);
    // Ends the helper; nothing more is reported.
    void stop();

    [[nodiscard]] int sampleRate() const { return m_sampleRate; }
    [[nodiscard]] bool hasFailed() const { return m_failed; }
    [[nodiscard]] bool isRunning() const { return m_process != nullptr; }
    [[nodiscard]] qsizetype passagesInFlight() const;
    // The passage being spoken, or -1.
    [[nodiscard]] qsizetype currentPassage() const;
    [[nodiscard]] const SpObjectToken &voice() const { return m_voice; }
    [[nodiscard]] qint64 processId() const;
    // For tests: a shorter stall limit.
    void setStallTimeout(int milliseconds) { m_stallTimer.setInterval(milliseconds); }

Q_SIGNALS:
    void ready(int sampleRate);
    void audioReceived(qsizetype passage, const QByteArray &pcm);
    void wordMarked(qsizetype passage, const HelperProtocol::WordMarkerPayload &marker);
    void passageFinished(qsizetype passage, bool spoken);
    // The helper cannot speak at all; the description is for the user.
    void failed(const QString &description);

private:
    struct Group
    {
        QList<SessionPassage> passages; // failed ones are taken out, so a replay leaves them out
        qsizetype spoken = 0;           // the first passages, done
    };

    void launch();
    void readAvailable();
    // False when the session stopped while handling the frame.
    bool take(SpeechHelperProcess::Frame &frame);
    void finishPassage(bool spoken);
    void helperEnded();
    void replaceHelper(bool again);
    void fail(const QString &description);
    void send(const Group &group, qsizetype quiet);
    void updateWatch();
    void dropNotifier();

    QString m_helperPath;
    SpObjectToken m_voice;
    Purpose m_purpose;
    std::unique_ptr<SpeechHelperProcess> m_process;
    std::unique_ptr<QSocketNotifier> m_readable;
    QTimer m_stallTimer;
    QTimer m_startTimer;
    QTimer m_gatherTimer;
    std::deque<Group> m_groups;
    qint64 m_passageBytes = 0; // of the passage being spoken, from the current helper
    qint64 m_bytesHeard = 0;   // of that passage, from a helper that died on it
    bool m_retrying = false;
    bool m_heldBack = false;
    bool m_wordMarkersWanted = false;
    bool m_failed = false;
    bool m_stopped = false;
    int m_sampleRate = 0;
};
