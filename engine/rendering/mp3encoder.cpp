#include "engine/rendering/mp3encoder.h"

#include "engine/client/speecherror.h"

#include <lame/lame.h>

#include <algorithm>

namespace {

// Samples handed to the encoder at a time; the output buffer is sized for it as lame asks.
constexpr qint64 ChunkSamples = 8192;
constexpr int OutputBytes = int(ChunkSamples * 5 / 4 + 7200);
// 7 is the fastest setting that still shapes the quantisation noise; 8 and 9 were no faster
// on speech here and sound worse.
constexpr int EncoderQuality = 7;

QString encoderFailure(int code)
{
    return QStringLiteral("The MP3 encoder failed (error %1).").arg(code);
}

} // namespace

Mp3Encoder::Mp3Encoder(int sampleRate, int bitrateKbps)
    : m_lame(lame_init()), m_buffer(OutputBytes, Qt::Uninitialized)
{
    if (!m_lame)
        throw SpeechError(QStringLiteral("The MP3 encoder could not be started."));
    lame_set_num_channels(m_lame, 1);
    lame_set_mode(m_lame, MONO);
    lame_set_in_samplerate(m_lame, sampleRate);
    lame_set_out_samplerate(m_lame, sampleRate);
    lame_set_brate(m_lame, bitrateKbps);
    lame_set_VBR(m_lame, vbr_off);
    lame_set_quality(m_lame, EncoderQuality);
    // Speech has next to nothing above the engines' band: the low-pass filter only costs time.
    lame_set_lowpassfreq(m_lame, -1);
    lame_set_bWriteVbrTag(m_lame, 1);
    // Every frame carries all of its own bits, so that frames of encoders that took turns at a
    // long stream can follow one another. At these bitrates speech rarely needs the reservoir.
    lame_set_disable_reservoir(m_lame, 1);
    if (lame_init_params(m_lame) < 0) {
        lame_close(m_lame);
        throw SpeechError(QStringLiteral("The MP3 encoder cannot write %1 kbps at %2 Hz.")
                              .arg(bitrateKbps)
                              .arg(sampleRate));
    }
}

Mp3Encoder::~Mp3Encoder()
{
    lame_close(m_lame);
}

QByteArray Mp3Encoder::take(int written)
{
    if (written < 0)
        throw SpeechError(encoderFailure(written));
    return QByteArray(m_buffer.constData(), written);
}

QByteArray Mp3Encoder::encode(const float *samples, qint64 count)
{
    QByteArray encoded;
    for (qint64 done = 0; done < count; done += ChunkSamples) {
        const int chunk = int(std::min(ChunkSamples, count - done));
        auto *out = reinterpret_cast<unsigned char *>(m_buffer.data());
        encoded +=
            take(lame_encode_buffer_float(m_lame, samples + done, samples + done, chunk, out, OutputBytes));
    }
    return encoded;
}

QByteArray Mp3Encoder::flush()
{
    return take(lame_encode_flush(m_lame, reinterpret_cast<unsigned char *>(m_buffer.data()), OutputBytes));
}

QByteArray Mp3Encoder::lameTagFrame() const
{
    unsigned char frame[2880];
    const std::size_t size = lame_get_lametag_frame(m_lame, frame, sizeof frame);
    return QByteArray(reinterpret_cast<const char *>(frame), qsizetype(std::min(size, sizeof frame)));
}

int Mp3Encoder::frameSamples() const
{
    return lame_get_framesize(m_lame);
}

int Mp3Encoder::encoderDelay() const
{
    return lame_get_encoder_delay(m_lame);
}
