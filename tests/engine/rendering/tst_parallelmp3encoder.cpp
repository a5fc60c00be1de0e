#include "engine/rendering/mp3encoder.h"
#include "engine/rendering/parallelmp3encoder.h"
#include "tests/support/ffmpegprobe.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

constexpr int Rate = 22050;
constexpr int FrameSamples = 576;

// Speech-like: a voiced tone whose pitch and loudness wander, with bursts of noise, so that the
// encoders meet both steady sound and sudden attacks at the joins.
std::vector<float> testSignal(qint64 count)
{
    std::vector<float> samples(static_cast<std::size_t>(count));
    quint32 noise = 12345;
    double phase = 0;
    for (qint64 i = 0; i < count; ++i) {
        const double t = double(i) / Rate;
        phase += 2 * std::numbers::pi * (140 + 40 * std::sin(t * 1.7)) / Rate;
        noise = noise * 1664525u + 1013904223u;
        const bool burst = std::fmod(t, 0.37) < 0.05;
        const double voiced =
            0.4 * (0.6 + 0.4 * std::sin(t * 5.3)) * (std::sin(phase) + 0.5 * std::sin(3 * phase));
        samples[std::size_t(i)] = float(voiced + (burst ? 0.3 * (double(noise) / 4294967296.0 - 0.5) : 0.0));
    }
    return samples;
}

template <typename Encoder>
QByteArray encodeFile(Encoder &encoder, const std::vector<float> &samples, const QString &path)
{
    QByteArray mp3;
    constexpr qint64 Chunk = 10000;
    for (qint64 done = 0; done < qint64(samples.size()); done += Chunk)
        mp3 += encoder.encode(samples.data() + done, std::min<qint64>(Chunk, qint64(samples.size()) - done));
    mp3 += encoder.flush();
    mp3.replace(0, encoder.lameTagFrame().size(), encoder.lameTagFrame());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(mp3) != mp3.size())
        return {};
    return mp3;
}

// ffmpeg's decoding, with the delay and padding trimmed, from -1 to 1; fails on any complaint.
std::vector<float> decoded(const QString &path)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path,
                  QStringLiteral("-f"), QStringLiteral("f32le"), QStringLiteral("-")});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0 || !ffmpeg.readAllStandardError().isEmpty())
        return {};
    const QByteArray pcm = ffmpeg.readAllStandardOutput();
    std::vector<float> samples(static_cast<std::size_t>(pcm.size()) / sizeof(float));
    std::memcpy(samples.data(), pcm.constData(), samples.size() * sizeof(float));
    return samples;
}

double largestError(const std::vector<float> &decoded, const std::vector<float> &original, qint64 from,
                    qint64 to)
{
    double largest = 0;
    for (qint64 i = std::max<qint64>(0, from); i < to; ++i)
        largest = std::max(largest, double(std::fabs(decoded[std::size_t(i)] - original[std::size_t(i)])));
    return largest;
}

} // namespace

// The frames of two encoders taking turns, joined into one stream, against one encoder's.
class TestParallelMp3Encoder : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;

private Q_SLOTS:
    void joinedStreamPlaysLikeOneEncoders()
    {
        // Two and a half segments: two joins, and an end in the middle of a segment.
        const std::vector<float> original =
            testSignal(ParallelMp3Encoder::SegmentFrames * FrameSamples * 5 / 2);
        ParallelMp3Encoder parallel(Rate, 96);
        Mp3Encoder single(Rate, 96);
        std::vector<float> scaled(original);
        for (float &sample : scaled)
            sample *= 32767.0f;
        const QString joinedPath = m_folder.filePath(QStringLiteral("joined.mp3"));
        const QString singlePath = m_folder.filePath(QStringLiteral("single.mp3"));
        QVERIFY(!encodeFile(parallel, original, joinedPath).isEmpty());
        QVERIFY(!encodeFile(single, scaled, singlePath).isEmpty());

        const std::vector<float> joined = decoded(joinedPath);
        const std::vector<float> alone = decoded(singlePath);
        QCOMPARE(joined.size(), original.size());
        QCOMPARE(alone.size(), original.size());
        QCOMPARE(probe(joinedPath)[QStringLiteral("format")][QStringLiteral("duration")],
                 probe(singlePath)[QStringLiteral("format")][QStringLiteral("duration")]);
        // Around each join, nothing worse than the codec's own error: no click, no gap.
        for (qint64 join = 1; join <= 2; ++join) {
            const qint64 at = join * ParallelMp3Encoder::SegmentFrames * FrameSamples;
            const qint64 from = at - 4 * FrameSamples;
            const qint64 to = at + 4 * FrameSamples;
            const double codecError = largestError(alone, original, from, to);
            QVERIFY2(largestError(joined, original, from, to) <= 1.25 * codecError,
                     qPrintable(QStringLiteral("join %1: %2 against %3")
                                    .arg(join)
                                    .arg(largestError(joined, original, from, to))
                                    .arg(codecError)));
        }
    }

    void audioShorterThanASegmentIsOneEncodersStream()
    {
        const std::vector<float> original = testSignal(Rate * 3);
        std::vector<float> scaled(original);
        for (float &sample : scaled)
            sample *= 32767.0f;
        ParallelMp3Encoder parallel(Rate, 96);
        Mp3Encoder single(Rate, 96);
        // Info frame included: its counts and checksums are rewritten the way LAME writes them.
        QCOMPARE(encodeFile(parallel, original, m_folder.filePath(QStringLiteral("short-joined.mp3"))),
                 encodeFile(single, scaled, m_folder.filePath(QStringLiteral("short-single.mp3"))));
    }
};

QTEST_GUILESS_MAIN(TestParallelMp3Encoder)
#include "tst_parallelmp3encoder.moc"
