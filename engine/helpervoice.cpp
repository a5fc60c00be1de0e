#include "engine/helpervoice.h"

#include "engine/client/helpersession.h"
#include "engine/client/speecherror.h"
#include "engine/helperspeechengine.h"
#include "engine/reading/audiooutput.h"
#include "engine/reading/passageplayback.h"
#include "engine/reading/wordmarkerintake.h"
#include "engine/rendering/passagerenderer.h"
#include "engine/rendering/spfilestream.h"
#include "engine/rendering/timedwords.h"

#include <QPointer>
#include <QTimer>

HelperVoice::HelperVoice(const HelperSpeechEngine &engine, QObject *parent)
    : QObject(parent), m_engine(engine)
{}

HelperVoice::~HelperVoice()
{
    stopReading(false);
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
    const OpeningCut cut = effectiveVoice().analysesWholeSentences() ? OpeningCut::AtClauseOrWords : OpeningCut::AtClause;
    QList<Passage> passages = withShortOpening(passagesOf(text), cut);
    if (passages.isEmpty()) { // nothing to say
        report({});
        return;
    }
    m_audio = std::make_unique<PassagePlayback>(m_engine.takeHelper(effectiveVoice()), std::move(passages));
    m_readingNote = m_engine.noteReading();
    m_audio->setAdjustment(m_adjustment);
    // Markers come in from the first frames on, some while the first audio is awaited.
    m_words = std::make_unique<WordMarkerIntake>(text);
    m_words->timeline()->setClock([this] { return playedUSecs(); });
    connect(m_audio.get(), &PassagePlayback::wordMarked, this,
            [this](qsizetype passageStart, quint32 start, quint32 length, qint64 atUSecs) {
                m_words->take(passageStart, start, length, atUSecs);
            });
    connect(m_audio.get(), &PassagePlayback::audioDiscarded, this,
            [this](qint64 fromUSecs) { m_words->timeline()->discardFrom(fromUSecs); });
    connect(m_audio.get(), &PassagePlayback::audioArrived, this, &HelperVoice::startOutput);
    connect(m_audio.get(), &PassagePlayback::firstAudioDelivered, this, [this] {
        // This reading's helper was the prepared one: the next Read gets another.
        m_engine.prepareHelper(effectiveVoice());
        Q_EMIT firstAudioDelivered();
    });
    connect(m_audio.get(), &PassagePlayback::ended, this, &HelperVoice::checkReadingFinished,
            Qt::QueuedConnection);
    m_audio->start();
    // A prepared helper has told its rate: the output opens while the first words are spoken.
    if (m_audio && m_audio->session().sampleRate() > 0)
        startOutput(m_audio->session().sampleRate());
}

void HelperVoice::startOutput(int sampleRate)
{
    if (m_output && sampleRate == m_sampleRate)
        return; // opened ahead
    m_sampleRate = sampleRate;
    m_audio->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    m_output = std::make_unique<AudioOutput>();
    try {
        m_output->start(m_audio.get(), m_sampleRate);
        if (m_paused)
            m_output->suspend();
    } catch (const SpeechError &error) {
        m_output.reset();
        // Usually called while the reading hands over its first audio: it is ended from the
        // event loop, not destroyed under its own signal.
        QMetaObject::invokeMethod(
            this,
            [this, reading = QPointer<PassagePlayback>(m_audio.get()), failure = error.description()] {
                if (!reading || reading != m_audio.get())
                    return; // replaced or stopped meanwhile
                SpeechOutcome outcome = m_audio->outcome();
                outcome.failure = failure;
                stopReading();
                report(outcome);
            },
            Qt::QueuedConnection);
    }
}

void HelperVoice::setProgressCallback(std::function<bool(double share)> callback)
{
    m_progressCallback = std::move(callback);
}

void HelperVoice::setFinishedCallback(std::function<void(const SpeechOutcome &)> callback)
{
    m_finishedCallback = std::move(callback);
}

void HelperVoice::speakToStream(const QString &text)
{
    PassageRenderer renderer(m_engine.helperPath(), effectiveVoice(), m_engine.renderingHelpersNow());
    renderer.setAdjustment(m_adjustment);
    const QList<Passage> passages = passagesOf(text);
    if (m_outputStream->recordsEvents()) { // the file's words and their times
        renderer.setWordMarkersWanted(true);
        connect(&renderer, &PassageRenderer::passageWritten, this,
                [this, &passages](qsizetype passage, qint64 firstFrame,
                                  const QList<HelperProtocol::WordMarkerPayload> &words) {
                    m_outputStream->recordWords(timedWordsOf(passages.at(passage), firstFrame, words));
                });
    }
    SpeechOutcome outcome;
    outcome.skippedPassages = renderer.render(passages, *m_outputStream, m_progressCallback);
    if (m_finishedCallback)
        m_finishedCallback(outcome);
}

void HelperVoice::checkReadingFinished()
{
    // Called once the helper's audio has all been handed to the output, then again until the
    // output has played it: what was handed on is still buffered there for a while.
    if (!m_audio || !m_audio->audioEnded())
        return;
    if (!m_output) { // nothing was heard
        finishReading();
        return;
    }
    const qint64 totalUSecs = m_audio->bytesDelivered() * 1000000 / 2 / std::max(1, m_sampleRate);
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
    if (!m_audio)
        return;
    const SpeechOutcome outcome = m_audio->outcome();
    stopReading();
    Q_EMIT readingFinished();
    report(outcome);
}

void HelperVoice::report(const SpeechOutcome &outcome)
{
    if (m_finishedCallback)
        m_finishedCallback(outcome);
}

void HelperVoice::stopReading(bool prepareNext)
{
    const bool wasReading = m_audio != nullptr;
    // Stopping the output serves events: nothing of this reading may reach us any more.
    if (m_audio)
        disconnect(m_audio.get(), nullptr, this, nullptr);
    if (m_words)
        m_words->timeline()->finish();
    m_words.reset();
    if (m_output)
        m_output->stop();
    m_output.reset();
    m_audio.reset();
    m_readingNote.reset();
    m_paused = false;
    // The next reading in this voice starts on a helper that is ready.
    if (wasReading && prepareNext)
        m_engine.prepareHelper(effectiveVoice());
}

void HelperVoice::setAdjustment(const VoiceAdjustment &adjustment)
{
    m_adjustment = adjustment.clamped();
    if (m_audio)
        m_audio->setAdjustment(m_adjustment);
}

SpVoiceStatus HelperVoice::Status()
{
    return SpVoiceStatus(m_audio ? SRSEIsSpeaking : SRSEDone);
}

void HelperVoice::Pause()
{
    m_paused = m_audio != nullptr;
    if (m_output)
        m_output->suspend();
}

void HelperVoice::Resume()
{
    m_paused = false;
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
