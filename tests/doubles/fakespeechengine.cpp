#include "tests/doubles/fakespeechengine.h"

#include "engine/client/speecherror.h"
#include "engine/client/voicecatalog.h"

namespace {

class FakeVoice final : public SpVoice
{
public:
    explicit FakeVoice(FakeSpeechEngine &engine) : m_engine(engine), m_log(engine.log)
    {
        ++m_log->voicesCreated;
    }
    ~FakeVoice() override { ++m_log->voicesReleased; }
    FakeVoice(const FakeVoice &) = delete;
    FakeVoice &operator=(const FakeVoice &) = delete;

    SpObjectTokens GetVoices(const QString &required, const QString &optional) const override
    {
        return VoiceCatalog(m_engine.tokens).query(required, optional);
    }
    void setVoice(const SpObjectToken &token) override
    {
        m_voice = token;
        record(QStringLiteral("Voice:") + token.GetDescription());
    }
    SpObjectToken Voice() const override { return m_voice; }
    void setAudioOutputStream(std::shared_ptr<SpFileStream> stream) override { m_stream = std::move(stream); }
    std::shared_ptr<SpFileStream> AudioOutputStream() const override { return m_stream; }
    int Speak(const QString &text, int flags) override
    {
        record(QStringLiteral("Speak:%1:%2").arg(flags).arg(text));
        if (!m_engine.speakFailure.isEmpty())
            throw SpeechError(m_engine.speakFailure);
        return 1;
    }
    SpVoiceStatus Status() override
    {
        if (!m_engine.statusFailure.isEmpty())
            throw SpeechError(m_engine.statusFailure);
        return SpVoiceStatus(m_engine.runningState);
    }
    void setProgressCallback(std::function<bool(double)> callback) override
    {
        m_progress = std::move(callback);
    }
    void setFinishedCallback(std::function<void(const SpeechOutcome &)> callback) override
    {
        m_finished = std::move(callback);
    }
    void setAdjustment(const VoiceAdjustment &adjustment) override
    {
        if (!adjustment.isDefault()) // a voice left as it is logs nothing
            record(QStringLiteral("Adjust:%1:%2:%3")
                       .arg(adjustment.speedPercent)
                       .arg(adjustment.pitchPercent)
                       .arg(adjustment.volumePercent));
    }
    void Pause() override { record(QStringLiteral("Pause")); }
    void Resume() override { record(QStringLiteral("Resume")); }

private:
    void record(const QString &call)
    {
        m_log->calls.append(call);
        if (m_log->onCall)
            m_log->onCall(call);
    }

    FakeSpeechEngine &m_engine;
    std::shared_ptr<FakeVoiceLog> m_log;
    SpObjectToken m_voice;
    std::shared_ptr<SpFileStream> m_stream;
    std::function<bool(double)> m_progress;
    std::function<void(const SpeechOutcome &)> m_finished;
};

} // namespace

FakeSpeechEngine::FakeSpeechEngine(QStringList voiceNames)
{
    for (const QString &name : voiceNames)
        tokens.append(SpObjectToken(QStringLiteral("fake"), name.toLower(), name, {QStringLiteral("en")}));
}

std::unique_ptr<SpVoice> FakeSpeechEngine::createVoice()
{
    return std::make_unique<FakeVoice>(*this);
}
