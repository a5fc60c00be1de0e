#include "engine/rendering/parallelmp3encoder.h"

#include "engine/client/speecherror.h"

#include <limits>

namespace {

// Before a segment, enough audio to fill the encoder's filter banks and settle its analysis of
// the signal; after it, enough for its look-ahead, so that the segment's last frames come out.
constexpr qint64 RunUpFrames = 8;
constexpr qint64 RunOutFrames = 4;
// Pieces queued on an encoder before the caller waits: memory stays flat if the encoders lag.
constexpr int PiecesPerEncoder = 2;
// LAME's scale for samples from -1 to 1.
constexpr float FullScale = 32767.0f;

} // namespace

ParallelMp3Encoder::ParallelMp3Encoder(int sampleRate, int bitrateKbps)
{
    // Both set up here, one after the other: setting up touches tables that LAME shares.
    for (std::size_t i = 0; i < m_encoders.size(); ++i)
        m_encoders[i] = std::make_unique<Mp3SegmentEncoder>(
            sampleRate, bitrateKbps,
            [this, i](std::vector<Mp3SegmentEncoder::Segment> completed, const QString &failure) {
                reported(i, std::move(completed), failure);
            });
    m_frameSamples = m_encoders[0]->frameSamples();
}

ParallelMp3Encoder::~ParallelMp3Encoder() = default;

QByteArray ParallelMp3Encoder::encode(const qint16 *samples, qint64 count)
{
    m_pending.insert(m_pending.end(), samples, samples + count);
    m_samples += count;
    handOut(false);
    return collect();
}

QByteArray ParallelMp3Encoder::encode(const float *samples, qint64 count)
{
    const std::size_t from = m_pending.size();
    m_pending.resize(from + std::size_t(count));
    float *pending = m_pending.data() + from;
    for (qint64 i = 0; i < count; ++i)
        pending[i] = samples[i] * FullScale;
    m_samples += count;
    handOut(false);
    return collect();
}

QByteArray ParallelMp3Encoder::flush()
{
    handOut(true);
    {
        std::unique_lock lock(m_mutex);
        m_reported.wait(
            lock, [this] { return m_piecesAtWork == decltype(m_piecesAtWork){} || !m_failure.isEmpty(); });
    }
    QByteArray rest = collect();
    if (m_nextToCollect != m_nextSegment)
        throw SpeechError(QStringLiteral("The MP3 encoder lost part of the sound."));
    return rest;
}

QByteArray ParallelMp3Encoder::lameTagFrame() const
{
    return m_info.completed(m_encoders[0]->lameTagFrame(), m_samples, m_frameSamples);
}

void ParallelMp3Encoder::handOut(bool last)
{
    const qint64 frame = m_frameSamples;
    for (;;) {
        // Segment s is frames s * SegmentFrames on; its piece has the run-up and run-out around it.
        const qint64 segment = m_nextSegment;
        const qint64 start = segment == 0 ? 0 : (segment * SegmentFrames - RunUpFrames) * frame;
        const qint64 end = ((segment + 1) * SegmentFrames + RunOutFrames) * frame;
        const qint64 available = m_pendingStart + qint64(m_pending.size());
        if (available < end && !last)
            return;
        const qint64 pieceEnd = last ? available : end;
        const std::size_t encoder = std::size_t(segment % qint64(m_encoders.size()));
        waitForRoom(encoder);
        std::vector<float> piece(m_pending.begin() + std::ptrdiff_t(start - m_pendingStart),
                                 m_pending.begin() + std::ptrdiff_t(pieceEnd - m_pendingStart));
        // The encoder's frame n is the stream's frame n + shift: both begin on a frame.
        const qint64 shift = (start - m_samplesHandedOut[encoder]) / frame;
        const qint64 firstFrame = segment == 0 ? -1 : segment * SegmentFrames - shift;
        const qint64 endFrame =
            last ? std::numeric_limits<qint64>::max() : (segment + 1) * SegmentFrames - shift;
        m_encoders[encoder]->encode(segment, std::move(piece), firstFrame, endFrame);
        m_samplesHandedOut[encoder] += pieceEnd - start;
        ++m_nextSegment;
        if (last) {
            // The other encoder too may still hold the end of its segment.
            for (std::size_t each = 0; each < m_encoders.size(); ++each) {
                if (m_samplesHandedOut[each] == 0 && each != encoder)
                    continue;
                {
                    const std::lock_guard lock(m_mutex);
                    ++m_piecesAtWork[each];
                }
                m_encoders[each]->finish();
            }
            m_pending = {};
            return;
        }
        const qint64 nextStart = ((segment + 1) * SegmentFrames - RunUpFrames) * frame;
        m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(nextStart - m_pendingStart));
        m_pendingStart = nextStart;
    }
}

void ParallelMp3Encoder::waitForRoom(std::size_t encoder)
{
    std::unique_lock lock(m_mutex);
    m_reported.wait(lock, [&] { return m_piecesAtWork[encoder] < PiecesPerEncoder || !m_failure.isEmpty(); });
    if (!m_failure.isEmpty())
        throw SpeechError(m_failure);
    ++m_piecesAtWork[encoder];
}

QByteArray ParallelMp3Encoder::collect()
{
    std::vector<Mp3SegmentEncoder::Segment> ready;
    {
        const std::lock_guard lock(m_mutex);
        if (!m_failure.isEmpty())
            throw SpeechError(m_failure);
        for (auto next = m_completed.find(m_nextToCollect); next != m_completed.end();
             next = m_completed.find(m_nextToCollect)) {
            ready.push_back(std::move(next->second));
            m_completed.erase(next);
            ++m_nextToCollect;
        }
    }
    QByteArray encoded;
    for (const Mp3SegmentEncoder::Segment &segment : ready) {
        m_info.addFrames(QByteArrayView(segment.frames).sliced(segment.placeholderBytes), segment.frameCount);
        encoded += segment.frames;
    }
    return encoded;
}

void ParallelMp3Encoder::reported(std::size_t encoder, std::vector<Mp3SegmentEncoder::Segment> completed,
                                  const QString &failure)
{
    {
        const std::lock_guard lock(m_mutex);
        for (Mp3SegmentEncoder::Segment &segment : completed)
            m_completed[segment.index] = std::move(segment);
        if (!failure.isEmpty() && m_failure.isEmpty())
            m_failure = failure;
        --m_piecesAtWork[encoder];
    }
    m_reported.notify_all();
}
