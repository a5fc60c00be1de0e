#include "engine/rendering/peaklimiter.h"

#include <cmath>

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
}

void PeakLimiter::process(const float *samples, qint64 count, std::vector<float> &output)
{
    output.reserve(output.size() + std::size_t(count));
    for (qint64 i = 0; i < count; ++i)
        push(samples[i], output);
}

void PeakLimiter::flush(std::vector<float> &output)
{
    const qint64 pending = std::min(m_position, m_lookAhead + 1);
    for (qint64 i = 0; i < pending; ++i)
        push(0.0f, output);
}

void PeakLimiter::push(float sample, std::vector<float> &output)
{
    // The gain this sample needs, and the smallest any sample of the last look-ahead needs:
    // the gain reaches it before that sample leaves the delay line.
    const float magnitude = std::fabs(sample);
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
