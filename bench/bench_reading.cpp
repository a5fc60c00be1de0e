// Reading aloud: time from Speak to the first audio the sink pulls, and memory while a very
// long text plays. Run inside scripts/with-sound-server.sh.
#include "bench/benchtext.h"
#include "engine/helperspeechengine.h"
#include "engine/helpervoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

double millisecondsToFirstAudio(HelperSpeechEngine &engine, const QString &text)
{
    HelperVoice voice(engine);
    QEventLoop loop;
    QObject::connect(&voice, &HelperVoice::firstAudioDelivered, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    voice.Speak(text, SVSFlagsAsync);
    loop.exec();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

qint64 childProcess()
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks.filePath(task + QStringLiteral("/children")));
        if (children.open(QIODevice::ReadOnly)) {
            const QByteArray list = children.readAll().trimmed();
            if (!list.isEmpty())
                return list.split(' ').first().toLongLong();
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
    (void)engine.catalog(); // listed once at window load, not per reading

    const QString short_ = benchmarkText(1000);
    const QString long_ = benchmarkText(100000);
    (void)millisecondsToFirstAudio(engine, short_); // warm the caches and the sound server

    QList<double> shortRuns;
    QList<double> longRuns;
    for (int i = 0; i < 7; ++i) {
        shortRuns.append(millisecondsToFirstAudio(engine, short_));
        longRuns.append(millisecondsToFirstAudio(engine, long_));
    }
    std::printf("Speak to first audio pulled (median of 7, helper start included)\n");
    std::printf("  1,000 words:   %7.1f ms  (min %.1f, max %.1f)\n", median(shortRuns),
                *std::min_element(shortRuns.begin(), shortRuns.end()),
                *std::max_element(shortRuns.begin(), shortRuns.end()));
    std::printf("  100,000 words: %7.1f ms  (min %.1f, max %.1f)\n", median(longRuns),
                *std::min_element(longRuns.begin(), longRuns.end()),
                *std::max_element(longRuns.begin(), longRuns.end()));
    std::printf("  ratio long/short: %.2f  (target: each under 100 ms, ratio within 1.5)\n",
                median(longRuns) / median(shortRuns));

    HelperVoice voice(engine);
    voice.Speak(long_, SVSFlagsAsync);
    const qint64 helper = childProcess();
    double helperPeak = 0.0;
    QEventLoop loop;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &loop,
                     [&] { helperPeak = std::max(helperPeak, peakResidentMiB(helper)); });
    sampler.start(100);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    std::printf("Reading 100,000 words for 10 s: played %.1f s of audio\n",
                double(voice.playedUSecs()) / 1e6);
    std::printf("  program peak resident: %.1f MiB (target under 120 MiB)\n",
                peakResidentMiB(QCoreApplication::applicationPid()));
    std::printf("  helper peak resident:  %.1f MiB\n", helperPeak);
    return 0;
}
