#pragma once

#include <QtGlobal>

#include <array>
#include <deque>
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

    void take(float sample, std::vector<float> &output);
    void limit(float sample, float peak, std::vector<float> &output);

    float m_ceiling;
    double m_release;
    qint64 m_lookAhead;
    // The last Taps samples, for the peaks between them.
    std::array<float, Taps> m_history{};
    qint64 m_taken = 0;
    std::array<std::array<float, Taps>, Phases> m_interpolation{};
    qint64 m_position = 0;
    // The last look-ahead + 1 samples and their smoothed gains, as rings.
    std::vector<float> m_delayed;
    std::vector<double> m_gains;
    double m_gainSum = 0;
    double m_envelope = 1;
    // Positions of the smallest gains wanted in the window, ascending gain from the front.
    std::deque<std::pair<qint64, float>> m_minima;
};
