#include "engine/rendering/mp3segmentencoder.h"

#include "engine/client/speecherror.h"

namespace {

constexpr qsizetype HeaderBytes = 4;

// The length of the layer III frame that begins with this header, or 0 when it is none.
qsizetype frameLength(const char *header)
{
    static constexpr int Mpeg1Kbps[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                          112, 128, 160, 192, 224, 256, 320, 0};
    static constexpr int Mpeg2Kbps[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    static constexpr int Mpeg1Rates[4] = {44100, 48000, 32000, 0};
    const quint8 first = quint8(header[0]);
    const quint8 second = quint8(header[1]);
    const quint8 third = quint8(header[2]);
    if (first != 0xff || (second & 0xe0) != 0xe0 || ((second >> 1) & 3) != 1)
        return 0;
    const int version = (second >> 3) & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    if (version == 1)
        return 0;
    const bool mpeg1 = version == 3;
    const int *kbpsTable = mpeg1 ? Mpeg1Kbps : Mpeg2Kbps;
    const int kbps = kbpsTable[third >> 4];
    const int rate = Mpeg1Rates[(third >> 2) & 3] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
    if (kbps == 0 || rate == 0)
        return 0;
    return (mpeg1 ? 144000 : 72000) * kbps / rate + ((third >> 1) & 1);
}

} // namespace

Mp3SegmentEncoder::Mp3SegmentEncoder(int sampleRate, int bitrateKbps, Report report)
    : m_encoder(sampleRate, bitrateKbps), m_frameSamples(m_encoder.frameSamples()),
      m_report(std::move(report)), m_thread([this] { run(); })
{}

Mp3SegmentEncoder::~Mp3SegmentEncoder()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_work.notify_one();
    m_thread.join();
}

void Mp3SegmentEncoder::encode(qint64 segment, std::vector<float> samples, qint64 firstFrame, qint64 endFrame)
{
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back({{segment, {}, 0, 0}, std::move(samples), firstFrame, endFrame, false});
    }
    m_work.notify_one();
}

void Mp3SegmentEncoder::finish()
{
    {
        const std::lock_guard lock(m_mutex);
        Piece finishing;
        finishing.finishing = true;
        m_queue.push_back(std::move(finishing));
    }
    m_work.notify_one();
}

QByteArray Mp3SegmentEncoder::lameTagFrame() const
{
    return m_encoder.lameTagFrame();
}

void Mp3SegmentEncoder::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_work.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
        if (m_stopping)
            return;
        Piece piece = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        QString failure;
        try {
            encodePiece(std::move(piece));
        } catch (const SpeechError &error) {
            failure = error.description();
        }
        m_report(std::exchange(m_completed, {}), failure);
        lock.lock();
    }
}

void Mp3SegmentEncoder::encodePiece(Piece piece)
{
    if (piece.finishing) {
        takeFrames(m_encoder.flush());
        if (!m_unparsed.isEmpty())
            throw SpeechError(QStringLiteral("The MP3 encoder ended on part of a frame."));
        for (Piece &open : m_open)
            m_completed.push_back(std::move(open.segment));
        m_open.clear();
        return;
    }
    const std::vector<float> samples = std::move(piece.samples);
    m_open.push_back(std::move(piece));
    takeFrames(m_encoder.encode(samples.data(), qint64(samples.size())));
}

void Mp3SegmentEncoder::takeFrames(const QByteArray &encoded)
{
    m_unparsed += encoded;
    qsizetype parsed = 0;
    while (m_unparsed.size() - parsed >= HeaderBytes) {
        const qsizetype length = frameLength(m_unparsed.constData() + parsed);
        if (length < HeaderBytes)
            throw SpeechError(QStringLiteral("The MP3 encoder wrote a frame that cannot be read."));
        if (m_unparsed.size() - parsed < length)
            break;
        const qint64 frame = m_framesOut++;
        // Frames before a segment are the run-up to it, frames after it the run-out.
        while (!m_open.empty() && frame >= m_open.front().endFrame) {
            m_completed.push_back(std::move(m_open.front().segment));
            m_open.pop_front();
        }
        if (!m_open.empty() && frame >= m_open.front().firstFrame) {
            Segment &segment = m_open.front().segment;
            segment.frames.append(m_unparsed.constData() + parsed, length);
            if (frame < 0)
                segment.placeholderBytes = length;
            else
                ++segment.frameCount;
            if (frame + 1 == m_open.front().endFrame) {
                m_completed.push_back(std::move(segment));
                m_open.pop_front();
            }
        }
        parsed += length;
    }
    m_unparsed.remove(0, parsed);
}
