#pragma once

#include "engine/spvoice.h"

#include <QObject>

class AudioOutput;
class HelperSpeechEngine;
class PassagePlayback;
class WordMarkerIntake;

// A voice of the helper engine. An asynchronous reading streams the helper's audio to the
// default output while the helper is still synthesizing; releasing the voice ends both at once.
// Speak returns at once: the output starts when the first audio comes, and a failure of the
// engine is told through the finished callback. The next reading's helper is prepared when one ends.
// Speaking into a file stream renders the passages on several helpers at once.
class HelperVoice final : public QObject, public SpVoice
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelperVoice)

public:
    explicit HelperVoice(const HelperSpeechEngine &engine, QObject *parent = nullptr);
    ~HelperVoice() override;

    [[nodiscard]] SpObjectTokens GetVoices(const QString &requiredAttributes = {},
                                           const QString &optionalAttributes = {}) const override;
    void setVoice(const SpObjectToken &token) override;
    [[nodiscard]] SpObjectToken Voice() const override;
    void setAudioOutputStream(std::shared_ptr<SpFileStream> stream) override;
    [[nodiscard]] std::shared_ptr<SpFileStream> AudioOutputStream() const override;

    int Speak(const QString &text, int flags) override;
    void setProgressCallback(std::function<bool(double share)> callback) override;
    void setFinishedCallback(std::function<void(const SpeechOutcome &)> callback) override;
    void setAdjustment(const VoiceAdjustment &adjustment) override;
    [[nodiscard]] SpVoiceStatus Status() override;
    void Pause() override;
    void Resume() override;
    [[nodiscard]] std::shared_ptr<const ReadingTimeline> readingTimeline() const override;

    // What the output has played of the current reading, for measuring.
    [[nodiscard]] qint64 playedUSecs() const;

Q_SIGNALS:
    void firstAudioDelivered();
    void readingFinished();

private:
    void speakToOutput(const QString &text);
    void startOutput(int sampleRate);
    void speakToStream(const QString &text);
    void checkReadingFinished();
    void finishReading();
    void stopReading(bool prepareNext = true);
    void report(const SpeechOutcome &outcome);
    [[nodiscard]] SpObjectToken effectiveVoice() const;

    const HelperSpeechEngine &m_engine;
    SpObjectToken m_voice;
    std::shared_ptr<SpFileStream> m_outputStream;
    std::unique_ptr<PassagePlayback> m_audio;
    std::shared_ptr<void> m_readingNote; // while m_audio is there
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<WordMarkerIntake> m_words;
    std::function<bool(double)> m_progressCallback;
    std::function<void(const SpeechOutcome &)> m_finishedCallback;
    VoiceAdjustment m_adjustment;
    int m_sampleRate = 0;
    int m_streamNumber = 0;
    bool m_paused = false;
};
