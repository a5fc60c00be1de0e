#pragma once

#include <QtGlobal>

#include <array>
#include <vector>

// Keeps the signal, peaks between samples included, within a ceiling by turning the gain down
// a few milliseconds ahead of a peak and letting it recover slowly, so that loud syllables are
// tamed without clicks. At the engines' low rates speech has energy near the top of the band,
// where the waveform between samples swings well past the samples themselves, and a decoder or
// a true-peak meter sees those swings. The output is delayed by the look-ahead.
class PeakLimiter final
{
public:
    PeakLimiter(int sampleRate, float ceiling);

    // Appends the limited samples that are ready to output.
    void process(const float *samples, qint64 count, std::vector<float> &output);
    // Appends what the look-ahead still holds.
    void flush(std::vector<float> &output);

private:
    static constexpr int Taps = 8;
    static constexpr int Phases = 3; // between two samples: a quarter, half and three quarters on

    void measure(qint64 count, std::vector<float> &output);
    void limit(const float *samples, const float *wanted, qint64 count, std::vector<float> &output);

    float m_ceiling;
    // Below this, no sample of a run and no interpolated value can pass the ceiling.
    float m_safeMagnitude;
    double m_release;
    qint64 m_lookAhead;
    std::array<std::array<float, Taps>, Phases> m_interpolation{};
    // The last Taps - 1 samples taken, then the block being measured: contiguous, so that the
    // interpolation runs over plain arrays.
    std::vector<float> m_window;
    std::vector<float> m_wanted;
    qint64 m_taken = 0;
    qint64 m_position = 0;
    // The last look-ahead + 1 samples and their smoothed gains, as rings.
    std::vector<float> m_delayed;
    std::vector<double> m_gains;
    std::size_t m_slot = 0;
    double m_gainSum = 0;
    double m_envelope = 1;
    // Positions of the smallest gains below 1 wanted in the window, ascending gain from the
    // front: a ring of look-ahead + 2 entries, which is as many as can be in it.
    std::vector<std::pair<qint64, float>> m_minima;
    std::size_t m_minimaFront = 0;
    std::size_t m_minimaCount = 0;
};
