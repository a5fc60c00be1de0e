#include "engine/rendering/loudnessleveller.h"

#include "engine/client/speecherror.h"

#include <ebur128.h>

#include <cmath>
#include <memory>
#include <utility>

namespace {

constexpr double OpeningSeconds = 30.0;
// Past these the text is silence or noise, not speech to be levelled.
constexpr double MaxBoostDb = 24.0;
constexpr double MaxCutDb = -24.0;
constexpr int MakeUpRounds = 8;
constexpr double SettledLu = 0.05;
// The least loudness a dB of gain is taken to bring: steps stay within four times the miss.
constexpr double MinMakeUpRate = 0.25;

float linear(double db)
{
    return float(std::pow(10.0, db / 20.0));
}

// Integrated loudness of samples, or nothing when they are too short or too quiet to measure.
std::optional<double> loudnessOf(const std::vector<float> &samples, int sampleRate)
{
    const std::unique_ptr<ebur128_state, void (*)(ebur128_state *)> meter(
        ebur128_init(1, unsigned(sampleRate), EBUR128_MODE_I),
        [](ebur128_state *state) { ebur128_destroy(&state); });
    if (!meter)
        throw SpeechError(QStringLiteral("The loudness meter could not be started."));
    if (ebur128_add_frames_float(meter.get(), samples.data(), samples.size()) != EBUR128_SUCCESS)
        throw SpeechError(QStringLiteral("The loudness meter failed."));
    double loudness = 0;
    if (ebur128_loudness_global(meter.get(), &loudness) != EBUR128_SUCCESS || !std::isfinite(loudness))
        return std::nullopt;
    return loudness;
}

// The opening as it would come out at that gain, limiter included.
std::vector<float> levelled(const std::vector<float> &samples, int sampleRate, float gain, float ceiling)
{
    std::vector<float> raised(samples);
    for (float &sample : raised)
        sample *= gain;
    PeakLimiter limiter(sampleRate, ceiling);
    std::vector<float> output;
    limiter.process(raised.data(), qint64(raised.size()), output);
    limiter.flush(output);
    return output;
}

} // namespace

LoudnessLeveller::LoudnessLeveller(int sampleRate, Sink sink, double targetLufs, double ceilingDbfs)
    : m_sampleRate(sampleRate), m_targetLufs(targetLufs), m_ceiling(linear(ceilingDbfs)),
      m_sink(std::move(sink)), m_limiter(sampleRate, m_ceiling)
{
    m_opening.reserve(std::size_t(OpeningSeconds * sampleRate));
}

void LoudnessLeveller::write(const qint16 *samples, qint64 count)
{
    m_scratch.resize(std::size_t(count));
    for (qint64 i = 0; i < count; ++i)
        m_scratch[std::size_t(i)] = float(samples[i]) * (1.0f / 32768.0f); // exact: a power of two
    if (m_gainDb) {
        pass(m_scratch.data(), count);
        return;
    }
    const std::size_t openingSize = std::size_t(OpeningSeconds * m_sampleRate);
    const std::size_t taken = std::min(openingSize - m_opening.size(), std::size_t(count));
    m_opening.insert(m_opening.end(), m_scratch.begin(), m_scratch.begin() + std::ptrdiff_t(taken));
    if (m_opening.size() < openingSize)
        return;
    m_scratch.erase(m_scratch.begin(), m_scratch.begin() + std::ptrdiff_t(taken));
    settle();
    pass(m_scratch.data(), qint64(m_scratch.size()));
}

void LoudnessLeveller::finish()
{
    if (!m_gainDb)
        settle();
    std::vector<float> output;
    m_limiter.flush(output);
    if (!output.empty())
        m_sink(output.data(), qint64(output.size()));
}

void LoudnessLeveller::settle()
{
    double gainDb = 0;
    if (const std::optional<double> loudness = loudnessOf(m_opening, m_sampleRate)) {
        gainDb = std::clamp(m_targetLufs - *loudness, MaxCutDb, MaxBoostDb);
        // The limiter takes loudness off the loudest syllables, the more the higher the gain:
        // measure what comes out and make up for it, a few rounds until it settles. After the
        // first round, each step is scaled by how much louder the last one made it: a dB of gain
        // can bring as little as half a dB once the limiter works hard.
        std::optional<std::pair<double, double>> last; // gain and loudness
        for (int round = 0; round < MakeUpRounds; ++round) {
            const std::optional<double> limited =
                loudnessOf(levelled(m_opening, m_sampleRate, linear(gainDb), m_ceiling), m_sampleRate);
            if (!limited || qAbs(m_targetLufs - *limited) < SettledLu)
                break;
            double step = m_targetLufs - *limited;
            if (last && qAbs(gainDb - last->first) > SettledLu)
                step /= std::clamp((*limited - last->second) / (gainDb - last->first), MinMakeUpRate, 1.0);
            last = std::pair(gainDb, *limited);
            gainDb = std::clamp(gainDb + step, MaxCutDb, MaxBoostDb);
        }
    }
    m_gainDb = gainDb;
    m_gain = linear(gainDb);
    std::vector<float> opening;
    opening.swap(m_opening);
    pass(opening.data(), qint64(opening.size()));
    m_levelled = {}; // as large as the opening: let it go
}

void LoudnessLeveller::pass(float *samples, qint64 count)
{
    for (qint64 i = 0; i < count; ++i)
        samples[i] *= m_gain;
    m_levelled.clear();
    m_limiter.process(samples, count, m_levelled);
    if (!m_levelled.empty())
        m_sink(m_levelled.data(), qint64(m_levelled.size()));
}
