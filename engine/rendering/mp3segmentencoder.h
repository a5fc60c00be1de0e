#pragma once

#include "engine/rendering/mp3encoder.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// One encoder on a thread of its own, taking its turns at a long stream: it is handed pieces of
// the stream, each a segment with some audio before and after it, and keeps of its output only
// the frames that make up the segments. The encoder runs on from piece to piece; the audio
// before a segment brings it to the state it would have had, had it heard the whole stream.
class Mp3SegmentEncoder final
{
public:
    struct Segment
    {
        qint64 index = 0;
        QByteArray frames;
        qint64 frameCount = 0;
        // The placeholder for the info frame, which the frames begin with when the segment
        // began at frame -1: the encoder's output from its very start.
        qsizetype placeholderBytes = 0;
    };
    // Called on the encoder's thread after each piece: the segments completed by it (in order),
    // or why encoding failed.
    using Report = std::function<void(std::vector<Segment> completed, const QString &failure)>;

    // Throws SpeechError when the encoder cannot be set up.
    Mp3SegmentEncoder(int sampleRate, int bitrateKbps, Report report);
    ~Mp3SegmentEncoder(); // abandons what is queued
    Mp3SegmentEncoder(const Mp3SegmentEncoder &) = delete;
    Mp3SegmentEncoder &operator=(const Mp3SegmentEncoder &) = delete;

    // Samples on the 16-bit scale; the segment is this encoder's frames from firstFrame up to
    // endFrame (excluded), counted from its first audio frame.
    void encode(qint64 segment, std::vector<float> samples, qint64 firstFrame, qint64 endFrame);
    // After what is queued, the encoder gives out what it holds and takes no more: the segment
    // that runs to the end, if it has it, gets that too.
    void finish();

    [[nodiscard]] int frameSamples() const { return m_frameSamples; }
    // Once the last piece is reported.
    [[nodiscard]] QByteArray lameTagFrame() const;

private:
    struct Piece
    {
        Segment segment;
        std::vector<float> samples;
        qint64 firstFrame = 0;
        qint64 endFrame = 0;
        bool finishing = false;
    };

    void run();
    void encodePiece(Piece piece);
    void takeFrames(const QByteArray &encoded);

    Mp3Encoder m_encoder;
    const int m_frameSamples;
    Report m_report;
    // Worked on by the encoder's thread alone.
    QByteArray m_unparsed;
    qint64 m_framesOut = -1;  // the placeholder for the info frame comes first
    std::deque<Piece> m_open; // pieces whose segment is not complete, samples gone
    std::vector<Segment> m_completed;

    std::mutex m_mutex;
    std::condition_variable m_work;
    std::deque<Piece> m_queue;
    bool m_stopping = false;
    std::thread m_thread; // last: it starts running in the constructor
};
