#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The frame that opens an MP3 file with the stream's frame count and length, which players take
// the duration from, LAME's encoder delay and padding, which gapless decoders trim, and checksums.
// Kept up to date from the audio frames in file order, for a stream whose frames came from more
// than one encoder.
class Mp3InfoFrame final
{
public:
    // Frames that follow in the file, count of them.
    void addFrames(QByteArrayView frames, qint64 count);

    // An encoder's own info frame rewritten for the whole stream: samples, the audio it was
    // given, in frames of frameSamples. A frame that is not LAME's comes back as it is.
    [[nodiscard]] QByteArray completed(QByteArray lameFrame, qint64 samples, int frameSamples) const;

    [[nodiscard]] qint64 frames() const { return m_frames; }

private:
    qint64 m_frames = 0;
    qint64 m_bytes = 0;
    quint16 m_musicCrc = 0;
};
