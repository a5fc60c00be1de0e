// Following the reading: how far the played time the highlight goes by is from what the sink
// really plays, how long after the played time reaches a word the highlight moves there, and
// the processor time the highlighting adds to a minute of reading.
// Run by hand: scripts/with-sound-server.sh env QT_QPA_PLATFORM=offscreen bin/bench_highlight
// [--speed PERCENT] (the voices' speed, 100 unless given)
#include "bench/benchtext.h"
#include "engine/reading/audiooutput.h"
#include "engine/helperspeechengine.h"
#include "engine/helpervoice.h"
#include "engine/reading/readingtimeline.h"
#include "speechwindow/readinghighlight.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr qint64 ReadingUSecs = 60 * 1000000;
constexpr int ClickRate = 22050;
constexpr qint64 ClickAtSample = 2 * ClickRate;

// Silence with a loud click two seconds in.
class ClickSource final : public QIODevice
{
public:
    ClickSource() { open(QIODevice::ReadOnly); }
    [[nodiscard]] bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        auto *samples = reinterpret_cast<qint16 *>(data);
        for (qint64 i = 0; i < maxSize / 2; ++i, ++m_sample)
            samples[i] = m_sample >= ClickAtSample && m_sample < ClickAtSample + 2205 ? 20000 : 0;
        return maxSize / 2 * 2;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 m_sample = 0;
};

// Milliseconds from the sink's played time reaching the click to the click arriving on the
// sound server's monitor of the output, which is what a listener would hear.
double clockBehindMonitorMs()
{
    QElapsedTimer wall;
    wall.start();
    double heardMs = -1;
    double clockMs = -1;
    QProcess monitor;
    monitor.start(QStringLiteral("parec"), {QStringLiteral("-d"), QStringLiteral("@DEFAULT_MONITOR@"),
                                            QStringLiteral("--latency-msec=5"), QStringLiteral("--raw"),
                                            QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                                            QStringLiteral("--channels=1")});
    QObject::connect(&monitor, &QProcess::readyReadStandardOutput, &monitor, [&] {
        const QByteArray bytes = monitor.readAllStandardOutput();
        const double now = double(wall.nsecsElapsed()) / 1e6;
        const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
        const qsizetype count = bytes.size() / 2;
        for (qsizetype i = 0; i < count && heardMs < 0; ++i) {
            if (std::abs(samples[i]) > 5000)
                heardMs = now - double(count - i) * 1000.0 / 44100;
        }
    });
    monitor.waitForStarted();
    ClickSource source;
    AudioOutput output;
    output.start(&source, ClickRate);
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (clockMs < 0 && output.processedUSecs() >= ClickAtSample * 1000000 / ClickRate)
            clockMs = double(wall.nsecsElapsed()) / 1e6;
        if (clockMs >= 0 && heardMs >= 0)
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    monitor.kill();
    monitor.waitForFinished();
    return clockMs - heardMs;
}

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Reading
{
    QList<double> delaysMs; // played position past the word's start when the highlight got there
    double processorSeconds = 0;
};

// A minute of reading into a shown text box, followed or not.
Reading readOneMinute(const HelperSpeechEngine &engine, const QString &voiceName, const QString &text,
                      bool follow, int speedPercent)
{
    QPlainTextEdit textBox;
    textBox.resize(400, 200);
    textBox.setPlainText(text);
    textBox.show();
    ReadingHighlight highlight(textBox);
    HelperVoice voice(engine);
    voice.setVoice(engine.catalog().query(QStringLiteral("Name=") + voiceName, QString()).Item(0));
    voice.setAdjustment({speedPercent, VoiceAdjustment::DefaultPercent, VoiceAdjustment::DefaultPercent});

    Reading reading;
    QObject::connect(&highlight, &ReadingHighlight::moved, &highlight, [&] {
        const auto timeline = voice.readingTimeline();
        const qint64 played = voice.playedUSecs();
        if (!timeline || !highlight.highlightedWord())
            return;
        reading.delaysMs.append(double(played - timeline->now().wordAtUSecs) / 1000.0);
    });
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (voice.playedUSecs() >= ReadingUSecs)
            loop.quit();
    });
    const double before = processorSeconds();
    voice.Speak(text, SVSFlagsAsync);
    if (follow)
        highlight.follow(voice.readingTimeline());
    check.start(200);
    loop.exec();
    reading.processorSeconds = processorSeconds() - before;
    return reading;
}

double percentile(QList<double> values, double share)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, qsizetype(share * double(values.size()))));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
    const QStringList arguments = QApplication::arguments();
    const qsizetype speedArgument = arguments.indexOf(QStringLiteral("--speed"));
    const int speed = speedArgument > 0 && speedArgument + 1 < arguments.size()
                          ? arguments.at(speedArgument + 1).toInt()
                          : VoiceAdjustment::DefaultPercent;
    // A minute of reading, whatever the speed.
    const QString text = benchmarkText(1000 * std::max(speed, 100) / 100);

    std::printf("Played time (QAudioSink::processedUSecs) behind the sink's monitor, 3 runs:");
    for (int run = 0; run < 3; ++run)
        std::printf(" %.1f ms", clockBehindMonitorMs());
    std::printf("\n");

    std::printf("Highlight delay after the played position reaches a word, and processor time of the\n"
                "program for one minute of reading at %d %% speed (the helper not counted)\n",
                speed);
    for (const QString &voice :
         {QStringLiteral("English (America)"), QStringLiteral("English (America) - slt")}) {
        const Reading plain = readOneMinute(engine, voice, text, false, speed);
        const Reading followed = readOneMinute(engine, voice, text, true, speed);
        std::printf("%s:\n", qPrintable(voice));
        std::printf("  delay over %lld words: median %.1f ms, 95th percentile %.1f ms, max %.1f ms"
                    "  (target: under 100 ms)\n",
                    static_cast<long long>(followed.delaysMs.size()), percentile(followed.delaysMs, 0.5),
                    percentile(followed.delaysMs, 0.95), percentile(followed.delaysMs, 1.0));
        std::printf("  processor time: %.2f s without the highlight, %.2f s with it: %+.2f s\n",
                    plain.processorSeconds, followed.processorSeconds,
                    followed.processorSeconds - plain.processorSeconds);
    }
    return 0;
}
