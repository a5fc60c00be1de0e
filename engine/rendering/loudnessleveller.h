#pragma once

#include "engine/rendering/peaklimiter.h"

#include <functional>
#include <optional>
#include <vector>

// Brings speech to the loudness podcast apps expect (-16 LUFS integrated) with true peaks at or
// below -1 dBTP after lossy encoding. An engine's voice keeps an even level through a text, so
// the gain is measured once, on the opening seconds, which wait in memory until it is known;
// after that the audio streams through with constant memory. A limiter with a sample ceiling
// well below -1 dBFS keeps the encoder's overshoot under the true-peak limit.
class LoudnessLeveller final
{
public:
    static constexpr double TargetLufs = -16.0;
    // True peak, before encoding: MP3 at our settings stays within it; Vorbis swings up to about
    // 2 dB past it on espeak-ng's German voice and gets a lower one from its caller.
    static constexpr double CeilingDbfs = -3.0;

    // Receives the levelled samples, from -1 to 1.
    using Sink = std::function<void(const float *samples, qint64 count)>;

    // targetLufs: where the levelled samples should measure, before any encoding.
    LoudnessLeveller(int sampleRate, Sink sink, double targetLufs = TargetLufs,
                     double ceilingDbfs = CeilingDbfs);

    void write(const qint16 *samples, qint64 count);
    // Passes on everything still held back.
    void finish();

    // The gain chosen, once the opening has been measured.
    [[nodiscard]] std::optional<double> gainDb() const { return m_gainDb; }

private:
    void settle();
    // Raises the samples in place and limits them.
    void pass(float *samples, qint64 count);

    int m_sampleRate;
    double m_targetLufs;
    float m_ceiling;
    Sink m_sink;
    std::vector<float> m_opening;
    std::optional<double> m_gainDb;
    float m_gain = 1.0f;
    PeakLimiter m_limiter;
    std::vector<float> m_scratch;
    std::vector<float> m_levelled;
};
