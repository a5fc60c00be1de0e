#include "platform/engine/helpervoice.h"

#include "platform/engine/audiooutput.h"
#include "platform/engine/helperspeechengine.h"
#include "platform/engine/pcmpipedevice.h"
#include "platform/engine/speecherror.h"
#include "platform/engine/speechhelperprocess.h"
#include "platform/engine/spfilestream.h"
#include "platform/engine/wordmarkerintake.h"

#include <QTimer>

#include <vector>

namespace {

// A helper that has not produced its first audio by then is taken to be stuck.
constexpr int FirstAudioTimeoutMs = 15000;
// Rendering waits this long for more audio before it gives up on the helper.
constexpr int RenderStallTimeoutMs = 60000;

} // namespace

HelperVoice::HelperVoice(const HelperSpeechEngine &engine, QObject *parent)
    : QObject(parent), m_engine(engine)
{}

HelperVoice::~HelperVoice()
{
    stopReading();
}

SpObjectTokens HelperVoice::GetVoices(const QString &requiredAttributes,
                                      const QString &optionalAttributes) const
{
    return m_engine.catalog().query(requiredAttributes, optionalAttributes);
}

void HelperVoice::setVoice(const SpObjectToken &token)
{
    m_voice = token;
}

SpObjectToken HelperVoice::Voice() const
{
    return effectiveVoice();
}

void HelperVoice::setAudioOutputStream(std::shared_ptr<SpFileStream> stream)
{
    m_outputStream = std::move(stream);
}

std::shared_ptr<SpFileStream> HelperVoice::AudioOutputStream() const
{
    return m_outputStream;
}

SpObjectToken HelperVoice::effectiveVoice() const
{
    if (!m_voice.isNull())
        return m_voice;
    const QList<SpObjectToken> &all = m_engine.catalog().tokens();
    return all.isEmpty() ? SpObjectToken() : all.first();
}

int HelperVoice::Speak(const QString &text, int flags)
{
    stopReading();
    m_pendingFailure.clear();
    if (effectiveVoice().isNull()) {
        const QString &problem = m_engine.catalogProblem();
        throw SpeechError(problem.isEmpty() ? QStringLiteral("No speech voice is installed.") : problem);
    }
    if (m_outputStream)
        speakToStream(text);
    else if ((flags & SVSFlagsAsync) != 0)
        speakToOutput(text);
    else
        throw SpeechError(QStringLiteral("Speaking to the speakers is only supported in the background."));
    return ++m_streamNumber;
}

void HelperVoice::speakToOutput(const QString &text)
{
    AudioOutput::ensureAvailable();
    m_helper = std::make_unique<SpeechHelperProcess>(m_engine.helperPath(), effectiveVoice(),
                                                     SpeechHelperProcess::Purpose::Playback);
    try {
        m_helper->start(text);
        const int sampleRate = m_helper->waitForFirstAudio(QDeadlineTimer(FirstAudioTimeoutMs));
        if (sampleRate == 0) { // nothing to say: blanks only
            m_helper.reset();
            return;
        }
        m_words = std::make_unique<WordMarkerIntake>(text, sampleRate);
        m_words->timeline()->setClock([this] { return playedUSecs(); });
        m_audio = std::make_unique<PcmPipeDevice>(*m_helper);
        m_audio->open(QIODevice::ReadOnly);
        connect(m_audio.get(), &PcmPipeDevice::firstAudioDelivered, this, &HelperVoice::firstAudioDelivered);
        connect(m_audio.get(), &PcmPipeDevice::ended, this, &HelperVoice::checkReadingFinished,
                Qt::QueuedConnection);
        m_output = std::make_unique<AudioOutput>();
        m_output->start(m_audio.get(), sampleRate);
    } catch (const SpeechError &) {
        stopReading();
        throw;
    }
}

void HelperVoice::setProgressCallback(std::function<bool(double share)> callback)
{
    m_progressCallback = std::move(callback);
}

void HelperVoice::speakToStream(const QString &text)
{
    SpeechHelperProcess helper(m_engine.helperPath(), effectiveVoice(),
                               SpeechHelperProcess::Purpose::Rendering);
    double share = 0.0;
    connect(&helper, &SpeechHelperProcess::progressed, this,
            [&share](qint64 done, qint64 total) { share = total > 0 ? double(done) / double(total) : 1.0; });
    helper.start(text);
    (void)helper.waitForFirstAudio(QDeadlineTimer(FirstAudioTimeoutMs));
    m_outputStream->beginAudio(helper.sampleRate());

    constexpr qint64 BufferBytes = 1 << 18;
    std::vector<qint16> samples(BufferBytes / 2 + 1);
    char *buffer = reinterpret_cast<char *>(samples.data());
    qint64 carried = 0; // a byte of a sample split between two reads
    for (;;) {
        const qint64 count =
            helper.readAudio(buffer + carried, BufferBytes, QDeadlineTimer(RenderStallTimeoutMs));
        if (count < 0)
            break;
        const qint64 bytes = carried + count;
        m_outputStream->writeAudio(samples.data(), bytes / 2);
        carried = bytes % 2;
        if (carried != 0)
            buffer[0] = buffer[bytes - 1];
        helper.readProgress();
        if (m_progressCallback && !m_progressCallback(share)) {
            helper.kill();
            throw SpeechCancelled();
        }
    }
    if (const QString failure = helper.failureAfterEnd(); !failure.isEmpty())
        throw SpeechError(failure);
    if (m_progressCallback)
        (void)m_progressCallback(1.0);
}

void HelperVoice::checkReadingFinished()
{
    // Called once the helper's audio has all been handed to the output, then again until the
    // output has played it: what was handed on is still buffered there for a while.
    if (!m_output || !m_audio || !m_audio->audioEnded())
        return;
    const qint64 totalUSecs = m_audio->bytesDelivered() * 1000000 / 2 / std::max(1, m_helper->sampleRate());
    const qint64 remainingMs = (totalUSecs - m_output->processedUSecs()) / 1000;
    if (remainingMs <= 0 || m_output->isStarved()) {
        finishReading();
        return;
    }
    // Paused output stays here, looking again now and then.
    QTimer::singleShot(std::clamp<qint64>(remainingMs, 20, 250), this, &HelperVoice::checkReadingFinished);
}

void HelperVoice::finishReading()
{
    if (!m_helper)
        return;
    m_pendingFailure = m_helper->failureAfterEnd();
    stopReading();
    Q_EMIT readingFinished();
}

void HelperVoice::stopReading()
{
    if (m_words)
        m_words->timeline()->finish();
    m_words.reset();
    if (m_output)
        m_output->stop();
    m_output.reset();
    m_audio.reset();
    m_helper.reset();
}

SpVoiceStatus HelperVoice::Status()
{
    if (!m_pendingFailure.isEmpty()) {
        const QString failure = std::exchange(m_pendingFailure, QString());
        throw SpeechError(failure);
    }
    return SpVoiceStatus(m_output ? SRSEIsSpeaking : SRSEDone);
}

void HelperVoice::Pause()
{
    if (m_output)
        m_output->suspend();
}

void HelperVoice::Resume()
{
    if (m_output)
        m_output->resume();
}

std::shared_ptr<const ReadingTimeline> HelperVoice::readingTimeline() const
{
    return m_words ? m_words->timeline() : nullptr;
}

qint64 HelperVoice::playedUSecs() const
{
    // On PulseAudio this is what the server has taken less the sink's latency: against the
    // null sink's monitor it trails what is heard by 5-8 ms, so nothing more is taken off.
    return m_output ? m_output->processedUSecs() : 0;
}
