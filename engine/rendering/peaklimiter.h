#pragma once

#include <QList>

#include <deque>
#include <vector>

// Keeps every sample within a ceiling by turning the gain down a few milliseconds ahead of a
// peak and letting it recover slowly, so that loud syllables are tamed without clicks. The
// output is delayed by the look-ahead.
class PeakLimiter final
{
public:
    PeakLimiter(int sampleRate, float ceiling);

    // Appends the limited samples that are ready to output.
    void process(const float *samples, qint64 count, std::vector<float> &output);
    // Appends what the look-ahead still holds.
    void flush(std::vector<float> &output);

private:
    void push(float sample, std::vector<float> &output);

    float m_ceiling;
    double m_release;
    qint64 m_lookAhead;
    qint64 m_position = 0;
    // The last look-ahead + 1 samples and their smoothed gains, as rings.
    std::vector<float> m_delayed;
    std::vector<double> m_gains;
    double m_gainSum = 0;
    double m_envelope = 1;
    // Positions of the smallest gains wanted in the window, ascending gain from the front.
    std::deque<std::pair<qint64, float>> m_minima;
};
