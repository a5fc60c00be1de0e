#include "engine/reading/passageplayback.h"

#include "engine/client/speecherror.h"
#include "engine/client/speechhelperprocess.h"
#include "engine/client/speechoutcome.h"

#include <cstring>

namespace {

// The passage being spoken and the next, so that the helper never waits for us between them.
constexpr qsizetype PassagesQueued = 2;
constexpr int StartPollMs = 100;

} // namespace

PassagePlayback::PassagePlayback(QString helperPath, SpObjectToken voice, QList<Passage> passages,
                                 QObject *parent)
    : QIODevice(parent), m_helperPath(std::move(helperPath)), m_voice(std::move(voice)),
      m_passages(std::move(passages))
{}

PassagePlayback::~PassagePlayback() = default;

int PassagePlayback::start(QDeadlineTimer deadline)
{
    if (m_passages.isEmpty()) {
        m_ended = true;
        return 0;
    }
    m_helper =
        std::make_unique<SpeechHelperProcess>(m_helperPath, m_voice, SpeechHelperProcess::Purpose::Playback);
    m_helper->setWordMarkersWanted(true);
    (void)m_helper->setAdjustment(m_adjustment);
    const int sampleRate = m_helper->start(deadline);
    m_sampleRate = std::max(sampleRate, 1);
    m_firstBytes = {0};
    sendPassages();
    m_sinceAudio.start();
    // Hold back until there is audio, so that a reading whose first passages all fail is
    // reported here instead of as silence.
    while (!m_ended && m_audio.size() == m_audioOffset) {
        if (receive())
            continue;
        if (deadline.hasExpired())
            throw SpeechError(QStringLiteral("The speech engine did not respond in time."));
        if (m_sinceAudio.elapsed() > PassageStallTimeoutMs) {
            passageFinished(false);
            if (!m_ended)
                replaceHelper();
            continue;
        }
        (void)m_helper->waitReadable(QDeadlineTimer(std::min<qint64>(StartPollMs, deadline.remainingTime())));
    }
    if (!m_outcome.failure.isEmpty())
        throw SpeechError(m_outcome.failure);
    return m_audio.size() > m_audioOffset ? sampleRate : 0;
}

void PassagePlayback::restartStallClock()
{
    m_sinceAudio.start();
}

void PassagePlayback::setAdjustment(const VoiceAdjustment &adjustment)
{
    if (adjustment == m_adjustment)
        return;
    m_adjustment = adjustment;
    if (!m_helper || !m_outcome.failure.isEmpty())
        return;
    // The passage being handed to the output now; the helper runs ahead of it.
    const auto heard = std::upper_bound(m_firstBytes.cbegin(), m_firstBytes.cend(), m_delivered);
    const qsizetype playing = std::max<qsizetype>(0, heard - m_firstBytes.cbegin() - 1);
    if (playing + 1 >= m_passages.size())
        return; // the last passage is playing
    // The pipe may hold the end of the playing passage, after which the helper goes on with the
    // next one; take in as far as that end to learn whether it has.
    (void)receive(playing + 1);
    if (m_speaking > playing)
        speakAgainFrom(playing + 1); // the helper may have begun the next one in the old voice
    else
        (void)m_helper->setAdjustment(adjustment); // it has not read the next one yet
}

void PassagePlayback::speakAgainFrom(qsizetype passage)
{
    const qint64 keep = passage < m_firstBytes.size() ? m_firstBytes.at(passage) : m_receivedBytes;
    m_audio.truncate(m_audioOffset + (keep - m_delivered)); // what is kept is not handed on yet
    m_receivedBytes = keep;
    m_passageFirstByte = keep;
    m_firstBytes.resize(std::min(m_firstBytes.size(), passage + 1));
    m_speaking = passage;
    m_ended = false;
    Q_EMIT audioDiscarded(keep / 2 * 1000000 / m_sampleRate);
    m_helper->kill();
    replaceHelper();
}

bool PassagePlayback::receive(qsizetype stopAtPassage)
{
    bool received = false;
    while (m_helper && !m_ended && m_speaking < stopAtPassage) {
        SpeechHelperProcess::Frame frame = m_helper->readFrame();
        switch (frame.kind) {
        case SpeechHelperProcess::Frame::Nothing:
            return received;
        case SpeechHelperProcess::Frame::Audio:
            m_receivedBytes += frame.audio.size();
            if (m_audioOffset == m_audio.size()) {
                m_audio = std::move(frame.audio);
                m_audioOffset = 0;
            } else {
                m_audio += frame.audio;
            }
            m_sinceAudio.start();
            break;
        case SpeechHelperProcess::Frame::WordMarker:
            if (m_speaking < m_passages.size()) // a broken helper may say more than it was asked
                Q_EMIT wordMarked(m_passages.at(m_speaking).start, frame.word.start, frame.word.length,
                                  (m_passageFirstByte / 2 + qint64(frame.word.sample)) * 1000000 /
                                      m_sampleRate);
            break;
        case SpeechHelperProcess::Frame::PassageDone:
            passageFinished(true);
            break;
        case SpeechHelperProcess::Frame::PassageFailed:
            passageFinished(false);
            break;
        case SpeechHelperProcess::Frame::Ended:
            // The helper itself died: the passage it held is lost, a fresh one goes on.
            passageFinished(false);
            if (!m_ended)
                replaceHelper();
            break;
        }
        received = true;
    }
    return received;
}

void PassagePlayback::passageFinished(bool spoken)
{
    if (spoken) {
        m_failuresInARow = 0;
    } else {
        const Passage &passage = m_passages.at(m_speaking);
        m_outcome.skippedPassages.append({passage.opening(), passage.line});
        if (++m_failuresInARow >= FailedPassagesThatEndIt) {
            end(engineStoppedMessage());
            return;
        }
    }
    ++m_speaking;
    m_passageFirstByte = m_receivedBytes;
    if (m_speaking < m_passages.size())
        m_firstBytes.append(m_receivedBytes);
    m_sinceAudio.start();
    if (m_speaking >= m_passages.size())
        end();
    else
        sendPassages();
}

void PassagePlayback::sendPassages()
{
    while (m_sent < m_passages.size() && m_sent - m_speaking < PassagesQueued) {
        if (!m_helper->sendPassage(m_passages.at(m_sent).utf8))
            return; // gone: its end is read next, and a fresh helper takes over
        ++m_sent;
    }
}

void PassagePlayback::replaceHelper()
{
    m_helper =
        std::make_unique<SpeechHelperProcess>(m_helperPath, m_voice, SpeechHelperProcess::Purpose::Playback);
    m_helper->setWordMarkersWanted(true);
    (void)m_helper->setAdjustment(m_adjustment);
    try {
        (void)m_helper->start(QDeadlineTimer(HelperStartTimeoutMs));
    } catch (const SpeechError &error) {
        end(error.description());
        return;
    }
    m_sent = m_speaking;
    m_sinceAudio.start();
    sendPassages();
}

void PassagePlayback::end(const QString &failure)
{
    m_outcome.failure = failure;
    m_ended = true;
    if (m_helper)
        m_helper->kill();
}

qint64 PassagePlayback::readData(char *data, qint64 maxSize)
{
    qint64 filled = 0;
    while (maxSize - filled >= 2) {
        if (m_audioOffset == m_audio.size()) {
            if (m_ended || !receive())
                break;
            continue;
        }
        // Frames hold whole samples; hand them on whole too.
        qint64 count = std::min<qint64>(maxSize - filled, m_audio.size() - m_audioOffset);
        count -= count % 2;
        std::memcpy(data + filled, m_audio.constData() + m_audioOffset, size_t(count));
        m_audioOffset += count;
        filled += count;
    }
    if (filled == 0 && !m_ended && m_sinceAudio.elapsed() > PassageStallTimeoutMs) {
        m_helper->kill();
        passageFinished(false);
        if (!m_ended)
            replaceHelper();
    }
    if (filled > 0 && m_delivered == 0)
        Q_EMIT firstAudioDelivered();
    m_delivered += filled;
    if (filled == 0 && m_ended && m_audioOffset == m_audio.size() && !m_endReported) {
        m_endReported = true;
        Q_EMIT ended();
    }
    // Reporting the end as an empty read keeps the output alive until its buffer has played.
    return filled;
}

qint64 PassagePlayback::writeData(const char *data, qint64 maxSize)
{
    Q_UNUSED(data)
    Q_UNUSED(maxSize)
    return -1;
}
