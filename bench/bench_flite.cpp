// flite next to espeak-ng on the 5,000-word text: time from start to the first audio, rendering
// speed, and the helper's peak memory while rendering (target under 150 MB).
// Run by hand: bin/bench_flite
#include "bench/benchtext.h"
#include "platform/engine/helperspeechengine.h"
#include "platform/engine/speechhelperprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int FirstAudioRuns = 5;

SpObjectToken voiceNamed(const HelperSpeechEngine &engine, const QString &name)
{
    return engine.catalog().query(QStringLiteral("Name=") + name, QString()).Item(0);
}

double millisecondsToFirstAudio(const HelperSpeechEngine &engine, const SpObjectToken &voice,
                                const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    SpeechHelperProcess helper(engine.helperPath(), voice, SpeechHelperProcess::Purpose::Playback);
    helper.start(text);
    (void)helper.waitForFirstAudio(QDeadlineTimer(60000));
    char buffer[4096];
    (void)helper.readAudio(buffer, sizeof buffer, QDeadlineTimer(60000));
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    helper.kill();
    return elapsed;
}

struct Rendering
{
    double seconds = 0;
    double audioSeconds = 0;
    double peakMiB = 0;
};

Rendering render(const HelperSpeechEngine &engine, const SpObjectToken &voice, const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    SpeechHelperProcess helper(engine.helperPath(), voice, SpeechHelperProcess::Purpose::Rendering);
    helper.start(text);
    const int rate = helper.waitForFirstAudio(QDeadlineTimer(600000));
    Rendering result;
    qint64 bytes = 0;
    static char buffer[1 << 16];
    for (int reads = 0;; ++reads) {
        // VmHWM only grows, so sampling it now and then while the helper lives finds its peak.
        if (reads % 16 == 0)
            result.peakMiB = std::max(result.peakMiB, peakResidentMiB(helper.processId()));
        const qint64 count = helper.readAudio(buffer, sizeof buffer, QDeadlineTimer(600000));
        if (count < 0)
            break;
        bytes += count;
    }
    result.seconds = double(timer.nsecsElapsed()) / 1e9;
    result.audioSeconds = rate > 0 ? double(bytes) / 2.0 / rate : 0.0;
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
    const QString text = benchmarkText(5000);

    std::printf("5,000 words; first audio: median of %d, helper start included\n", FirstAudioRuns);
    for (const char *name : {"English (America)", "English (America) - slt", "English (America) - kal16"}) {
        const SpObjectToken voice = voiceNamed(engine, QString::fromLatin1(name));
        QList<double> firstAudio;
        for (int i = 0; i < FirstAudioRuns; ++i)
            firstAudio.append(millisecondsToFirstAudio(engine, voice, text));
        std::sort(firstAudio.begin(), firstAudio.end());
        const Rendering rendering = render(engine, voice, text);
        std::printf("  %-26s (%-9s) first audio %6.1f ms   rendering %6.2f s for %6.0f s of audio "
                    "(%5.1fx real time)   helper peak %6.1f MiB\n",
                    name, qPrintable(voice.engine()), firstAudio.at(firstAudio.size() / 2), rendering.seconds,
                    rendering.audioSeconds, rendering.audioSeconds / rendering.seconds, rendering.peakMiB);
    }
    return 0;
}
