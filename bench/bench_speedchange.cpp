// A speed change during a reading: from which passage on it is heard, counted from the passage
// playing when the change was made (1: the next one), and how long after the change the first
// faster passage begins. Sentences of 15 words are the passages.
// Run by hand: scripts/with-sound-server.sh env QT_QPA_PLATFORM=offscreen bin/bench_speedchange
#include "bench/benchtext.h"
#include "engine/helperspeechengine.h"
#include "engine/helpervoice.h"
#include "engine/reading/readingtimeline.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMap>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 HeardAfterChangeUSecs = 12 * 1000000;

struct Outcome
{
    qsizetype passagesLater = -1; // -1: never heard
    double msAfterChange = 0;
};

Outcome changeSpeedDuringReading(const HelperSpeechEngine &engine, const QString &voiceName,
                                 const QString &text, qint64 changeAtUSecs)
{
    const auto passageOf = [&text](qsizetype position) {
        return text.left(position).count(QStringLiteral(". "));
    };
    HelperVoice voice(engine);
    voice.setVoice(engine.catalog().query(QStringLiteral("Name=") + voiceName, QString()).Item(0));
    QMap<qsizetype, qint64> passageStartUSecs; // when the first word of each passage is heard
    qsizetype lastWord = -1;
    qsizetype passageAtChange = -1;
    qint64 changedAtUSecs = -1;

    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        const auto timeline = voice.readingTimeline();
        if (!timeline)
            return;
        const ReadingTimeline::Now now = timeline->now();
        if (now.word && now.word->start != lastWord) {
            lastWord = now.word->start;
            const qsizetype passage = passageOf(lastWord);
            if (!passageStartUSecs.contains(passage))
                passageStartUSecs.insert(passage, now.wordAtUSecs);
        }
        const qint64 played = voice.playedUSecs();
        if (changedAtUSecs < 0 && played >= changeAtUSecs && lastWord >= 0) {
            changedAtUSecs = played;
            passageAtChange = passageOf(lastWord);
            voice.setAdjustment({200, VoiceAdjustment::DefaultPercent, VoiceAdjustment::DefaultPercent});
        }
        if (changedAtUSecs >= 0 && played >= changedAtUSecs + HeardAfterChangeUSecs)
            loop.quit();
    });
    voice.Speak(text, SVSFlagsAsync);
    poll.start(5);
    loop.exec();

    // A passage's length is from its first word to the next passage's.
    QList<double> before;
    Outcome outcome;
    for (auto passage = passageStartUSecs.cbegin(); std::next(passage) != passageStartUSecs.cend();
         ++passage) {
        const double length = double(std::next(passage).value() - passage.value());
        if (passage.key() < passageAtChange) {
            before.append(length);
        } else if (!before.isEmpty() && length < 0.7 * *std::min_element(before.begin(), before.end())) {
            outcome.passagesLater = passage.key() - passageAtChange;
            outcome.msAfterChange = double(passage.value() - changedAtUSecs) / 1000.0;
            break;
        }
    }
    return outcome;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
    const QString text = benchmarkText(900);
    std::printf("Speed from 100 %% to 200 %% during a reading (target: heard within the next passage, 1)\n");
    for (const QString &voice :
         {QStringLiteral("English (America)"), QStringLiteral("English (America) - slt")}) {
        std::printf("%s:", qPrintable(voice));
        for (const qint64 changeAtMs : {7000, 9500, 12000}) {
            const Outcome outcome = changeSpeedDuringReading(engine, voice, text, changeAtMs * 1000);
            std::printf("  at %.1f s: passage +%lld, %.0f ms later;", double(changeAtMs) / 1000.0,
                        static_cast<long long>(outcome.passagesLater), outcome.msAfterChange);
            std::fflush(stdout);
        }
        std::printf("\n");
    }
    return 0;
}
