#pragma once

#include "engine/client/passage.h"
#include "engine/client/passagetally.h"
#include "engine/client/spobjecttoken.h"
#include "engine/protocol/helperprotocol.h"
#include "engine/protocol/voiceadjustment.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class BackgroundWriter;
class HelperSession;
class SpFileStream;

// Renders passages into a sound file on several helper sessions at once, driven by events on the
// caller's thread (the file is written on a thread of its own). Each helper takes the next group
// of passages nobody has taken (groups fixed by the text); the file gets the audio in
// text order, so it is the same sample for sample whatever the number of helpers. A helper may
// run ahead of the file by its share of the look-ahead, then it is held back. Passages the
// engine fails on are skipped; the sessions and the tally decide the rest.
class PassageRenderer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PassageRenderer)

public:
    // Enough for a helper's group and some of the next: less, and helpers would wait on each other.
    static constexpr int LookAheadSeconds = 60;
    // What all helpers together may hold: beyond four helpers, each gets an equal share of it.
    static constexpr int TotalLookAheadSeconds = 240;

    PassageRenderer(QString helperPath, SpObjectToken voice, int helperCount, QObject *parent = nullptr);
    ~PassageRenderer() override;

    // Starts; the stream must stay open until finished(). Progress and the end come by signals.
    void start(const QList<Passage> &passages, SpFileStream &stream);
    void cancel();
    // Word markers of each written passage, for passageWritten.
    void setWordMarkersWanted(bool wanted) { m_wordMarkersWanted = wanted; }
    void setAdjustment(const VoiceAdjustment &adjustment) { m_adjustment = adjustment; }

    [[nodiscard]] bool isFinished() const { return m_finished; }
    [[nodiscard]] bool wasCancelled() const { return m_cancelled; }
    [[nodiscard]] const SpeechOutcome &outcome() const { return m_tally.outcome(); }

    // Starts and serves events (user input excepted: the progress display takes it) until the
    // end. progress: the share done (0 to 1); returning false cancels (SpeechCancelled). Throws
    // SpeechError when the engine or the file fails. The stream is left open for the caller.
    QList<SkippedPassage> render(const QList<Passage> &passages, SpFileStream &stream,
                                 const std::function<bool(double)> &progress);

Q_SIGNALS:
    void progressed(double share);
    // A passage's audio went to the file from firstFrame on; its words counted from there.
    void passageWritten(qsizetype passage, qint64 firstFrame,
                        const QList<HelperProtocol::WordMarkerPayload> &words);
    void finished();

private:
    struct Helper;
    struct PassageAudio
    {
        QList<QByteArray> pcm; // as it came: no copies, no spare capacity
        qint64 bytes = 0;
        QList<HelperProtocol::WordMarkerPayload> words;
        std::size_t helper = 0;
        bool done = false;
        bool spoken = false;
    };

    void addHelper();
    void helperReady(int sampleRate);
    void handOut(Helper &helper);
    void takeAudio(std::size_t helper, qsizetype passage, const QByteArray &pcm);
    [[nodiscard]] qint64 lookAheadBytes() const;
    void passageFinished(std::size_t helper, qsizetype passage, bool spoken);
    void writeReady();
    void updateHold(Helper &helper);
    void reportProgress();
    void finish(const QString &failure = {});
    void stopHelpers();

    QString m_helperPath;
    SpObjectToken m_voice;
    int m_helperCount;
    VoiceAdjustment m_adjustment;
    QList<Passage> m_passages;
    SpFileStream *m_stream = nullptr;
    std::unique_ptr<BackgroundWriter> m_writer;
    std::vector<std::unique_ptr<Helper>> m_helpers;
    std::map<qsizetype, PassageAudio> m_audio; // by passage, until written
    PassageTally m_tally;
    QTimer m_writerWait;
    QTimer m_progressTimer;
    qsizetype m_nextToTake = 0;
    qsizetype m_textBytesLeft = 0; // of the passages not yet given to a helper
    qsizetype m_nextToWrite = 0;
    qsizetype m_charactersTotal = 0;
    qsizetype m_charactersDone = 0;
    qint64 m_framesWritten = 0;
    int m_sampleRate = 0;
    bool m_wordMarkersWanted = false;
    bool m_draining = false;
    bool m_finished = false;
    bool m_cancelled = false;
};
