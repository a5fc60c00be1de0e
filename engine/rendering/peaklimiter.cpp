#include "engine/rendering/peaklimiter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double LookAheadSeconds = 0.005;
constexpr double ReleaseSeconds = 0.08;
// Samples measured at a time: the scratch arrays stay small whatever the caller hands over.
constexpr qint64 BlockSamples = 4096;
// Samples whose peaks are judged together: a fixed count, so that the compiler turns the
// interpolation into vector code.
constexpr qint64 Run = 16;

std::size_t wrapped(std::size_t index, std::size_t size)
{
    return index >= size ? index - size : index;
}

} // namespace

PeakLimiter::PeakLimiter(int sampleRate, float ceiling)
    : m_ceiling(ceiling), m_release(1.0 - std::exp(-1.0 / (ReleaseSeconds * sampleRate))),
      m_lookAhead(std::max<qint64>(1, qint64(LookAheadSeconds * sampleRate))),
      m_window(std::size_t(Taps - 1), 0.0f), m_delayed(std::size_t(m_lookAhead + 1), 0.0f),
      m_gains(std::size_t(m_lookAhead + 1), 1.0), m_minima(std::size_t(m_lookAhead + 2))
{
    m_gainSum = double(m_lookAhead + 1);
    // Windowed sinc: the value a quarter, a half and three quarters past the fourth sample of
    // the history, from all eight.
    double largestGain = 1.0;
    for (int phase = 0; phase < Phases; ++phase) {
        const double fraction = double(phase + 1) / (Phases + 1);
        double gain = 0;
        for (int tap = 0; tap < Taps; ++tap) {
            const double t = double(tap) - (Taps / 2 - 1) - fraction;
            const double sinc = std::sin(std::numbers::pi * t) / (std::numbers::pi * t);
            const double window = 0.5 * (1.0 + std::cos(std::numbers::pi * t / (Taps / 2 + 1)));
            m_interpolation[std::size_t(phase)][std::size_t(tap)] = float(sinc * window);
            gain += std::fabs(sinc * window);
        }
        largestGain = std::max(largestGain, gain);
    }
    // An interpolated value is at most the sum of the weights' magnitudes times the largest
    // sample it is made of; the margin covers rounding.
    m_safeMagnitude = float(ceiling / (largestGain * 1.001));
}

void PeakLimiter::process(const float *samples, qint64 count, std::vector<float> &output)
{
    for (qint64 done = 0; done < count;) {
        const qint64 block = std::min(BlockSamples, count - done);
        m_window.insert(m_window.end(), samples + done, samples + done + block);
        measure(block, output);
        done += block;
    }
}

void PeakLimiter::flush(std::vector<float> &output)
{
    // Enough silence to bring every sample through the history and the look-ahead.
    const qint64 pending = m_taken > 0 ? Taps / 2 + m_lookAhead + 1 : 0;
    const std::vector<float> silence(std::size_t(pending), 0.0f);
    process(silence.data(), pending, output);
}

void PeakLimiter::measure(qint64 count, std::vector<float> &output)
{
    // Window index j + Taps / 2 - 1 is the sample whose peak is judged at j, between it and the
    // next included; its taps are j to j + Taps - 1. The first Taps / 2 of all have no sample
    // to judge yet.
    const qint64 unjudged = std::max<qint64>(0, Taps / 2 - m_taken);
    m_taken += count;
    m_wanted.resize(std::size_t(count));
    const float *window = m_window.data();
    float *wanted = m_wanted.data();
    const float ceiling = m_ceiling;
    const float safe = m_safeMagnitude;
    qint64 j = 0;
    // Whole runs with one sample to spare after them: the loudness check reads Run + Taps samples,
    // a multiple of the vector width.
    for (; j + Run < count; j += Run) {
        const float *taps = window + j;
        int loud = 0;
        for (qint64 i = 0; i < Run + Taps; ++i)
            loud += std::fabs(taps[i]) > safe ? 1 : 0;
        if (loud == 0) {
            std::fill(wanted + j, wanted + j + Run, 1.0f);
            continue;
        }
        // Four neighbouring samples at a time with their sums apart: vector code, and each sum
        // still added up in the same order. Dividing by no less than the ceiling gives 1 below it.
        for (std::size_t i = 0; i < Run; i += 4) {
            std::array<float, 4> peak{};
            for (std::size_t lane = 0; lane < 4; ++lane)
                peak[lane] = std::fabs(taps[i + lane + Taps / 2 - 1]);
            for (const auto &weights : m_interpolation) {
                std::array<float, 4> between{};
                for (std::size_t tap = 0; tap < Taps; ++tap) {
                    const float weight = weights[tap];
                    between[0] += weight * taps[i + tap];
                    between[1] += weight * taps[i + 1 + tap];
                    between[2] += weight * taps[i + 2 + tap];
                    between[3] += weight * taps[i + 3 + tap];
                }
                for (std::size_t lane = 0; lane < 4; ++lane)
                    peak[lane] = std::max(peak[lane], std::fabs(between[lane]));
            }
            for (std::size_t lane = 0; lane < 4; ++lane)
                wanted[std::size_t(j) + i + lane] = ceiling / std::max(peak[lane], ceiling);
        }
    }
    for (; j < count; ++j) {
        const float *taps = window + j;
        float peak = std::fabs(taps[Taps / 2 - 1]);
        for (const auto &weights : m_interpolation) {
            float between = 0.0f;
            for (std::size_t tap = 0; tap < Taps; ++tap)
                between += weights[tap] * taps[tap];
            peak = std::max(peak, std::fabs(between));
        }
        wanted[j] = ceiling / std::max(peak, ceiling);
    }
    if (unjudged < count)
        limit(window + Taps / 2 - 1 + unjudged, wanted + unjudged, count - unjudged, output);
    m_window.erase(m_window.begin(), m_window.end() - (Taps - 1));
}

void PeakLimiter::limit(const float *samples, const float *wanted, qint64 count, std::vector<float> &output)
{
    // The state in locals: the compiler keeps them in registers across the loop.
    const std::size_t ring = std::size_t(m_lookAhead + 1);
    // Multiplying by the inverse rather than dividing: the same to the last bit or two.
    const double inverseRing = 1.0 / double(ring);
    const double release = m_release;
    const qint64 lookAhead = m_lookAhead;
    const std::size_t minimaRing = m_minima.size();
    std::pair<qint64, float> *minima = m_minima.data();
    float *delayed = m_delayed.data();
    double *gains = m_gains.data();
    std::size_t front = m_minimaFront;
    std::size_t queued = m_minimaCount;
    std::size_t slot = m_slot;
    qint64 position = m_position;
    double envelope = m_envelope;
    double gainSum = m_gainSum;
    // Samples leave the delay line once it is full.
    const qint64 leaving = std::clamp<qint64>(position + count - m_lookAhead - 1, 0, count);
    std::size_t written = output.size();
    output.resize(written + std::size_t(leaving));
    float *out = output.data();
    for (qint64 i = 0; i < count; ++i) {
        // The gain this sample needs, and the smallest any sample of the last look-ahead needs:
        // the gain reaches it before that sample leaves the delay line. Only samples that need
        // the gain down are queued; none queued means none in the window.
        const float want = wanted[i];
        if (want < 1.0f) {
            while (queued > 0 && minima[wrapped(front + queued - 1, minimaRing)].second >= want)
                --queued;
            minima[wrapped(front + queued, minimaRing)] = {position, want};
            ++queued;
        }
        if (queued > 0 && minima[front].first <= position - lookAhead - 1) {
            front = wrapped(front + 1, minimaRing);
            --queued;
        }
        const double smallest = queued > 0 ? minima[front].second : 1.0;
        // Down at once, up slowly; never above what the window holds. Without a branch: the way
        // up never passes the target.
        envelope = std::min(smallest, envelope + (smallest - envelope) * release);

        // The slot about to be reused holds the sample of look-ahead + 1 steps ago, and the gains
        // hold the envelope from that sample on: each is at most what that sample needs, so their
        // mean is too, and averaging turns the way down into a ramp.
        if (position > lookAhead)
            out[written++] = float(delayed[slot] * std::min(1.0, gainSum * inverseRing));
        gainSum += envelope - gains[slot];
        gains[slot] = envelope;
        delayed[slot] = samples[i];
        slot = wrapped(slot + 1, ring);
        ++position;
    }
    m_minimaFront = front;
    m_minimaCount = queued;
    m_slot = slot;
    m_position = position;
    m_envelope = envelope;
    m_gainSum = gainSum;
}
