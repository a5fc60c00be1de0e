// Following the reading: how long after the played audio reaches a word the highlight moves
// there, and the processor time the highlighting adds to a minute of reading.
// Run by hand: scripts/with-sound-server.sh env QT_QPA_PLATFORM=offscreen bin/bench_highlight
#include "bench/benchtext.h"
#include "platform/engine/helperspeechengine.h"
#include "platform/engine/helpervoice.h"
#include "platform/engine/readingtimeline.h"
#include "speech/readinghighlight.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr qint64 ReadingUSecs = 60 * 1000000;

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
                      bool follow)
{
    QPlainTextEdit textBox;
    textBox.resize(400, 200);
    textBox.setPlainText(text);
    textBox.show();
    ReadingHighlight highlight(textBox);
    HelperVoice voice(engine);
    voice.setVoice(engine.catalog().query(QStringLiteral("Name=") + voiceName, QString()).Item(0));

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
    const QString text = benchmarkText(1000);

    std::printf("Highlight delay after the played position reaches a word, and processor time of the\n"
                "program for one minute of reading (the helper not counted)\n");
    for (const QString &voice :
         {QStringLiteral("English (America)"), QStringLiteral("English (America) - slt")}) {
        const Reading plain = readOneMinute(engine, voice, text, false);
        const Reading followed = readOneMinute(engine, voice, text, true);
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
