// Saving 5,000 words to WAV with a pronunciation list of 200 entries against the same without
// one, the list applied to the text as the speech window does before rendering. Five entries
// match words of the text with spellings that sound the same, so the speech stays as long.
// Run by hand: bin/bench_pronunciations [voice]
#include "bench/benchtext.h"
#include "engine/helperspeechengine.h"
#include "engine/helpervoice.h"
#include "engine/rendertofile.h"
#include "listening/pronunciationrules.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Runs = 5;

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

QList<Pronunciation> twoHundredEntries()
{
    QList<Pronunciation> entries{{QStringLiteral("harbour"), QStringLiteral("harbor"), false, false, {}},
                                 {QStringLiteral("ashore"), QStringLiteral("a shore"), false, false, {}},
                                 {QStringLiteral("nets"), QStringLiteral("netts"), false, false, {}},
                                 {QStringLiteral("(\\w+)men"), QStringLiteral("\\1 men"), false, true, {}},
                                 {QStringLiteral("THREE"), QStringLiteral("three"), true, false, {}}};
    for (int i = static_cast<int>(entries.size()); i < 200; ++i)
        entries.append(
            {QStringLiteral("Surname%1").arg(i), QStringLiteral("sir name %1").arg(i), false, false, {}});
    return entries;
}

// Seconds from the written text to the finished file.
double saveSeconds(const HelperSpeechEngine &engine, const SpObjectToken &token, const QString &text,
                   const QList<Pronunciation> &entries, const QString &fileName)
{
    QElapsedTimer timer;
    timer.start();
    HelperVoice voice(engine);
    voice.setVoice(token);
    const SpokenText spoken = PronunciationRules(entries, token.languages()).apply(text);
    (void)renderToFile(
        voice, {.text = spoken.text(), .fileName = fileName, .format = SoundFileFormat::Wav, .progress = {}});
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QString voiceName =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("English (America)");
    HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
    const SpObjectToken token =
        engine.catalog().query(QStringLiteral("Name=") + voiceName, QString()).Item(0);
    const QString text = benchmarkText(5000);
    const QList<Pronunciation> entries = twoHundredEntries();
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("speech.wav"));

    QElapsedTimer applying;
    applying.start();
    const SpokenText spoken = PronunciationRules(entries, token.languages()).apply(text);
    const double applyMs = double(applying.nsecsElapsed()) / 1e6;

    (void)saveSeconds(engine, token, text, {}, fileName); // warm the caches
    QList<double> without;
    QList<double> with;
    for (int run = 0; run < Runs; ++run) { // alternating, so the machine's load falls on both
        without.append(saveSeconds(engine, token, text, {}, fileName));
        with.append(saveSeconds(engine, token, text, entries, fileName));
    }
    std::printf("5,000 words to WAV, %s, median of %d: %.2f s without pronunciations, %.2f s with 200 "
                "entries: %.3fx (target: at most 1.05x)\n",
                qPrintable(voiceName), Runs, median(without), median(with), median(with) / median(without));
    std::printf("Applying the 200 entries alone: %.1f ms (%lld characters changed into %lld)\n", applyMs,
                static_cast<long long>(text.size()), static_cast<long long>(spoken.text().size()));
    return 0;
}
