#pragma once

#include <QByteArray>

struct lame_global_struct;

// MP3 through libmp3lame: mono, constant bitrate, at the engine's own rate (no resampling), with
// the encoder's fast settings: speech at 96 kbps loses nothing audible to them. The output
// begins with a placeholder frame where lameTagFrame goes. Every operation may throw SpeechError.
class Mp3Encoder final
{
public:
    // The bitrates offered for speech, in kbps.
    static constexpr int Bitrates[] = {64, 96, 128};
    static constexpr int DefaultBitrate = 96;

    Mp3Encoder(int sampleRate, int bitrateKbps);
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder &) = delete;
    Mp3Encoder &operator=(const Mp3Encoder &) = delete;

    // The MP3 bytes that these samples complete; often fewer than a frame's worth. The samples
    // are on the scale of 16-bit ones: from -32768 to 32767.
    [[nodiscard]] QByteArray encode(const float *samples, qint64 count);
    // What the encoder still holds; after it, lameTagFrame is ready.
    [[nodiscard]] QByteArray flush();
    // The first frame of the file rewritten with its length, delay and padding, so that players
    // know the exact duration; it replaces the placeholder frame the encoding began with.
    [[nodiscard]] QByteArray lameTagFrame() const;

    // Samples in each frame, and how many silent ones the decoded audio begins with.
    [[nodiscard]] int frameSamples() const;
    [[nodiscard]] int encoderDelay() const;

private:
    [[nodiscard]] QByteArray take(int written);

    lame_global_struct *m_lame = nullptr;
    QByteArray m_buffer;
};
