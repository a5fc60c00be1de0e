#include "engine/rendering/peaklimiter.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double LookAheadSeconds = 0.005;
constexpr double ReleaseSeconds = 0.08;

} // namespace

PeakLimiter::PeakLimiter(int sampleRate, float ceiling)
    : m_ceiling(ceiling), m_release(1.0 - std::exp(-1.0 / (ReleaseSeconds * sampleRate))),
      m_lookAhead(std::max<qint64>(1, qint64(LookAheadSeconds * sampleRate))),
      m_delayed(std::size_t(m_lookAhead + 1), 0.0f), m_gains(std::size_t(m_lookAhead + 1), 1.0)
{
    m_gainSum = double(m_lookAhead + 1);
    // Windowed sinc: the value a quarter, a half and three quarters past the fourth sample of
    // the history, from all eight.
    for (int phase = 0; phase < Phases; ++phase) {
        const double fraction = double(phase + 1) / (Phases + 1);
        for (int tap = 0; tap < Taps; ++tap) {
            const double t = double(tap) - (Taps / 2 - 1) - fraction;
            const double sinc = std::sin(std::numbers::pi * t) / (std::numbers::pi * t);
            const double window = 0.5 * (1.0 + std::cos(std::numbers::pi * t / (Taps / 2 + 1)));
            m_interpolation[std::size_t(phase)][std::size_t(tap)] = float(sinc * window);
        }
    }
}

void PeakLimiter::process(const float *samples, qint64 count, std::vector<float> &output)
{
    output.reserve(output.size() + std::size_t(count));
    for (qint64 i = 0; i < count; ++i)
        take(samples[i], output);
}

void PeakLimiter::flush(std::vector<float> &output)
{
    // Enough silence to bring every sample through the history and the look-ahead.
    const qint64 pending = m_taken > 0 ? Taps / 2 + m_lookAhead + 1 : 0;
    for (qint64 i = 0; i < pending; ++i)
        take(0.0f, output);
}

void PeakLimiter::take(float sample, std::vector<float> &output)
{
    std::copy(m_history.begin() + 1, m_history.end(), m_history.begin());
    m_history.back() = sample;
    ++m_taken;
    if (m_taken <= Taps / 2)
        return;
    // The sample half the history back, and the highest swing between it and the next.
    constexpr std::size_t Centre = Taps / 2 - 1;
    float peak = std::fabs(m_history[Centre]);
    for (const auto &weights : m_interpolation) {
        float between = 0.0f;
        for (std::size_t tap = 0; tap < Taps; ++tap)
            between += weights[tap] * m_history[tap];
        peak = std::max(peak, std::fabs(between));
    }
    limit(m_history[Centre], peak, output);
}

void PeakLimiter::limit(float sample, float magnitude, std::vector<float> &output)
{
    // The gain this sample needs, and the smallest any sample of the last look-ahead needs:
    // the gain reaches it before that sample leaves the delay line.
    const float wanted = magnitude > m_ceiling ? m_ceiling / magnitude : 1.0f;
    while (!m_minima.empty() && m_minima.back().second >= wanted)
        m_minima.pop_back();
    m_minima.emplace_back(m_position, wanted);
    while (m_minima.front().first <= m_position - m_lookAhead - 1)
        m_minima.pop_front();
    const double held = m_minima.front().second;
    // Down at once, up slowly; never above what the window holds.
    m_envelope = held < m_envelope ? held : m_envelope + (held - m_envelope) * m_release;

    // The slot about to be reused holds the sample of look-ahead + 1 steps ago, and the gains
    // hold the envelope from that sample on: each is at most what that sample needs, so their
    // mean is too, and averaging turns the way down into a ramp.
    const std::size_t slot = std::size_t(m_position % (m_lookAhead + 1));
    if (m_position > m_lookAhead) {
        const double gain = std::min(1.0, m_gainSum / double(m_lookAhead + 1));
        output.push_back(float(m_delayed[slot] * gain));
    }
    m_gainSum += m_envelope - m_gains[slot];
    m_gains[slot] = m_envelope;
    m_delayed[slot] = sample;
    ++m_position;
}
