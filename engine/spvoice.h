#pragma once

#include "engine/client/speechoutcome.h"
#include "engine/client/spobjecttokens.h"
#include "engine/protocol/voiceadjustment.h"

#include <QString>

#include <functional>
#include <memory>

class ReadingTimeline;
class SpFileStream;

enum SpeechVoiceSpeakFlags
{
    SVSFDefault = 0,   // return when all of the text has been rendered
    SVSFlagsAsync = 1, // return at once and speak in the background
};

enum SpeechRunState
{
    SRSEDone = 1,
    SRSEIsSpeaking = 2,
};

class SpVoiceStatus final
{
public:
    explicit SpVoiceStatus(int runningState) : m_runningState(runningState) {}
    [[nodiscard]] int RunningState() const { return m_runningState; }

private:
    int m_runningState;
};

// A voice that speaks text, to the default audio output or into a file stream.
// Every operation may throw SpeechError with a description for the user.
class SpVoice
{
public:
    virtual ~SpVoice() = default;

    // Required attributes are "Key=Value" pairs separated by ';' that all must match;
    // two empty texts give every installed voice.
    [[nodiscard]] virtual SpObjectTokens GetVoices(const QString &requiredAttributes = {},
                                                   const QString &optionalAttributes = {}) const = 0;
    virtual void setVoice(const SpObjectToken &token) = 0;
    [[nodiscard]] virtual SpObjectToken Voice() const = 0;
    // With a stream set, speech goes into it instead of to the speakers.
    virtual void setAudioOutputStream(std::shared_ptr<SpFileStream> stream) = 0;
    [[nodiscard]] virtual std::shared_ptr<SpFileStream> AudioOutputStream() const = 0;

    // Returns a stream number, which callers may ignore.
    virtual int Speak(const QString &text, int flags) = 0;
    // While speaking into a file stream: called with the share of the text done (0 to 1);
    // returning false cancels, and Speak then throws SpeechCancelled.
    virtual void setProgressCallback(std::function<bool(double share)> callback) = 0;
    // Told how speaking ended, with the passages the engine failed on and skipped: for a file
    // stream before Speak returns, for a reading once it has played out or the engine gave up.
    // A reading that is replaced or released reports nothing.
    virtual void setFinishedCallback(std::function<void(const SpeechOutcome &)> callback) = 0;
    // Speed, pitch and volume from the next Speak on, and for a reading under way from its next
    // passage on. Voices that cannot change them ignore it.
    virtual void setAdjustment(const VoiceAdjustment &adjustment) { (void)adjustment; }
    [[nodiscard]] virtual SpVoiceStatus Status() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;

    // The words of the reading aloud under way, each as it is heard; none when the voice
    // cannot tell.
    [[nodiscard]] virtual std::shared_ptr<const ReadingTimeline> readingTimeline() const { return nullptr; }
};

// Creates voices; the one entry point of the speech engine layer.
class SpeechEngine
{
public:
    virtual ~SpeechEngine() = default;
    [[nodiscard]] virtual std::unique_ptr<SpVoice> createVoice() = 0;
    // The voice is likely to read next: an engine may get ready for it ahead of time.
    virtual void prepareVoice(const SpObjectToken &voice) { Q_UNUSED(voice) }
    // Voices were added or removed: they are listed anew, without waiting, and done is called once
    // GetVoices gives the new list.
    virtual void reloadVoices(std::function<void()> done) { done(); }
};
