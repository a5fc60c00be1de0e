#pragma once

#include "engine/rendering/mp3infoframe.h"
#include "engine/rendering/mp3segmentencoder.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

// MP3 on two encoders at once, for a stream that is written while it is made: the stream is cut
// into segments of whole frames that the encoders take in turns (Mp3SegmentEncoder), and their
// frames are joined in order into one stream, as one encoder would have written it but for the
// rounding of each frame. Audio shorter than a segment is encoded by one encoder from start to
// end. Same use as Mp3Encoder; every operation may throw SpeechError.
class ParallelMp3Encoder final
{
public:
    // About 13 s at 22,050 Hz: long enough that the run-up and run-out cost little, short enough
    // that the encoders finish close together.
    static constexpr qint64 SegmentFrames = 512;

    ParallelMp3Encoder(int sampleRate, int bitrateKbps);
    ~ParallelMp3Encoder();
    ParallelMp3Encoder(const ParallelMp3Encoder &) = delete;
    ParallelMp3Encoder &operator=(const ParallelMp3Encoder &) = delete;

    // The MP3 bytes that are ready, in order; often none.
    [[nodiscard]] QByteArray encode(const qint16 *samples, qint64 count);
    // Samples from -1 to 1.
    [[nodiscard]] QByteArray encode(const float *samples, qint64 count);
    // The rest of the stream; after it, lameTagFrame is ready.
    [[nodiscard]] QByteArray flush();
    // The first frame of the file, with the whole stream's length, delay and padding; it replaces
    // the placeholder frame the stream began with.
    [[nodiscard]] QByteArray lameTagFrame() const;

private:
    void handOut(bool last);
    void waitForRoom(std::size_t encoder);
    [[nodiscard]] QByteArray collect();
    void reported(std::size_t encoder, std::vector<Mp3SegmentEncoder::Segment> completed,
                  const QString &failure);

    int m_frameSamples = 0;
    // The stream from m_pendingStart on, not yet handed out whole; on the 16-bit scale.
    std::vector<float> m_pending;
    qint64 m_pendingStart = 0;
    qint64 m_samples = 0;
    qint64 m_nextSegment = 0;
    qint64 m_nextToCollect = 0;
    std::array<qint64, 2> m_samplesHandedOut{};
    Mp3InfoFrame m_info;

    std::mutex m_mutex;
    std::condition_variable m_reported;
    std::map<qint64, Mp3SegmentEncoder::Segment> m_completed;
    std::array<int, 2> m_piecesAtWork{};
    QString m_failure;
    std::array<std::unique_ptr<Mp3SegmentEncoder>, 2> m_encoders; // last: they report to the above
};
