#include "engine/reading/passageplayback.h"

#include "engine/client/helpersession.h"

#include <cstring>

namespace {

// The passage being spoken and the next, so that the helper never waits for us between them.
constexpr qsizetype PassagesQueued = 2;
// The engines open a text with silence (flite about a quarter of a second); the reading starts
// where the voice does, less a moment so the first sound is not cut.
constexpr int SilenceLevel = 100;
constexpr qsizetype SamplesKeptBeforeVoice = 80;

// Where the voice starts in these samples, or -1 when they are all silence.
qsizetype firstVoicedSample(const QByteArray &pcm)
{
    const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
    for (qsizetype i = 0; i < pcm.size() / 2; ++i)
        if (std::abs(int(samples[i])) > SilenceLevel)
            return i;
    return -1;
}

} // namespace

PassagePlayback::PassagePlayback(std::unique_ptr<HelperSession> session, QList<Passage> passages,
                                 QObject *parent)
    : QIODevice(parent), m_session(std::move(session)), m_passages(std::move(passages))
{
    attach();
}

void PassagePlayback::attach()
{
    m_session->setWordMarkersWanted(true);
    connect(m_session.get(), &HelperSession::audioReceived, this,
            [this](qsizetype, const QByteArray &pcm) { takeAudio(pcm); });
    connect(m_session.get(), &HelperSession::wordMarked, this,
            [this](qsizetype passage, const HelperProtocol::WordMarkerPayload &word) {
                Q_EMIT wordMarked(m_passages.at(passage).start, word.start, word.length,
                                  (m_passageFirstByte / 2 + qint64(word.sample)) * 1000000 / sampleRate());
            });
    connect(m_session.get(), &HelperSession::passageFinished, this, &PassagePlayback::passageFinished);
    connect(m_session.get(), &HelperSession::failed, this, [this](const QString &description) { end(description); });
}

PassagePlayback::~PassagePlayback() = default;

void PassagePlayback::start()
{
    if (m_passages.isEmpty()) {
        end();
        return;
    }
    m_session->start();
    sendPassages();
}

qint64 PassagePlayback::sampleRate() const
{
    return std::max({m_sampleRate, m_session->sampleRate(), 1});
}

void PassagePlayback::setAdjustment(const VoiceAdjustment &adjustment)
{
    if (adjustment == m_adjustment)
        return;
    m_adjustment = adjustment;
    m_session->setAdjustment(adjustment);
    if (m_sent == 0 || !m_tally.outcome().failure.isEmpty())
        return;
    // The passage being handed to the output now; the helper runs ahead of it.
    const auto heard = std::upper_bound(m_firstBytes.cbegin(), m_firstBytes.cend(), m_delivered);
    const qsizetype playing = std::max<qsizetype>(0, heard - m_firstBytes.cbegin() - 1);
    // While the helper is still on the playing passage, it applies the change to the next one.
    if (playing + 1 < m_passages.size() && m_finished > playing)
        speakAgainFrom(playing + 1);
}

void PassagePlayback::speakAgainFrom(qsizetype passage)
{
    const qint64 keep = m_firstBytes.at(passage);
    m_audio.truncate(m_audioOffset + (keep - m_delivered)); // what is kept is not handed on yet
    m_receivedBytes = keep;
    m_passageFirstByte = keep;
    m_firstBytes.resize(passage + 1);
    m_finished = passage;
    m_sent = passage;
    m_ended = false;
    Q_EMIT audioDiscarded(keep / 2 * 1000000 / sampleRate());
    auto fresh = std::make_unique<HelperSession>(m_session->helperPath(), m_session->voice(),
                                                 HelperSession::Purpose::Playback);
    fresh->setAdjustment(m_adjustment);
    m_session->stop();
    m_session = std::move(fresh);
    attach();
    m_session->start();
    sendPassages();
}

void PassagePlayback::takeAudio(const QByteArray &received)
{
    if (m_ended)
        return;
    if (m_sampleRate == 0)
        m_sampleRate = m_session->sampleRate();
    QByteArray pcm = received;
    if (m_finished == 0 && m_receivedBytes == 0) {
        const qsizetype voiced = firstVoicedSample(pcm);
        const qsizetype dropped = voiced < 0 ? pcm.size() : 2 * std::max<qsizetype>(0, voiced - SamplesKeptBeforeVoice);
        pcm.remove(0, dropped);
        m_passageFirstByte -= dropped; // the words are where they were in the passage
        if (pcm.isEmpty())
            return;
    }
    const bool first = m_receivedBytes == 0;
    m_receivedBytes += pcm.size();
    if (m_audioOffset == m_audio.size()) {
        m_audio = pcm;
        m_audioOffset = 0;
    } else {
        m_audio += pcm;
    }
    updateHold();
    if (first)
        Q_EMIT audioArrived(m_session->sampleRate());
    Q_EMIT readyRead();
}

void PassagePlayback::passageFinished(qsizetype passage, bool spoken)
{
    if (m_ended)
        return;
    ++m_finished;
    m_passageFirstByte = m_receivedBytes;
    if (m_finished < m_passages.size())
        m_firstBytes.append(m_receivedBytes);
    if (!m_tally.record(m_passages.at(passage), spoken)) {
        end(m_tally.outcome().failure);
        return;
    }
    if (m_finished >= m_passages.size())
        end();
    else
        sendPassages();
}

void PassagePlayback::sendPassages()
{
    // One passage a request: each starts from the prepared engine, so the first is heard soonest.
    for (; m_sent < m_passages.size() && m_sent - m_finished < PassagesQueued; ++m_sent)
        m_session->speak({{m_sent, m_passages.at(m_sent).utf8}});
}

void PassagePlayback::updateHold()
{
    const qint64 aheadBytes = qint64(LookAheadSeconds) * 2 * sampleRate();
    m_session->setHeldBack(!m_ended && bytesBuffered() >= aheadBytes);
}

void PassagePlayback::end(const QString &failure)
{
    if (m_ended)
        return;
    if (!failure.isEmpty())
        m_tally.setFailure(failure);
    m_ended = true;
    m_session->stop();
    // Without audio nobody pulls, so nobody else would find out.
    if (m_receivedBytes == 0)
        QMetaObject::invokeMethod(this, &PassagePlayback::reportEnd, Qt::QueuedConnection);
}

void PassagePlayback::reportEnd()
{
    if (m_endReported)
        return;
    m_endReported = true;
    Q_EMIT ended();
}

qint64 PassagePlayback::readData(char *data, qint64 maxSize)
{
    // Frames hold whole samples; hand them on whole too.
    qint64 count = std::min<qint64>(maxSize, bytesBuffered());
    count -= count % 2;
    if (count > 0) {
        std::memcpy(data, m_audio.constData() + m_audioOffset, size_t(count));
        m_audioOffset += count;
        if (m_audioOffset == m_audio.size()) {
            m_audio.clear();
            m_audioOffset = 0;
        } else if (m_audioOffset > (1 << 20)) {
            m_audio.remove(0, m_audioOffset); // keep what is played from piling up
            m_audioOffset = 0;
        }
        if (m_delivered == 0)
            Q_EMIT firstAudioDelivered();
        m_delivered += count;
        if (!m_ended)
            updateHold();
    }
    if (count == 0 && m_ended && bytesBuffered() < 2)
        reportEnd();
    // Reporting the end as an empty read keeps the output alive until its buffer has played.
    return count;
}

qint64 PassagePlayback::writeData(const char *data, qint64 maxSize)
{
    Q_UNUSED(data)
    Q_UNUSED(maxSize)
    return -1;
}
