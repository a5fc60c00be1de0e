// flite next to espeak-ng on the 5,000-word text: time from a helper's start to its first audio,
// and rendering speed into a WAV file.
// Run by hand: bin/bench_flite
#include "bench/benchtext.h"
#include "engine/helperspeechengine.h"
#include "engine/helpervoice.h"
#include "engine/client/passage.h"
#include "engine/rendertofile.h"
#include "engine/client/speechhelperprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

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
    (void)helper.start(QDeadlineTimer(60000));
    (void)helper.sendPassage(passagesOf(text).first().utf8);
    while (helper.readFrame().kind != SpeechHelperProcess::Frame::Audio)
        (void)helper.waitReadable(QDeadlineTimer(60000));
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    helper.kill();
    return elapsed;
}

struct Rendering
{
    double seconds = 0;
    double audioSeconds = 0;
};

Rendering render(const HelperSpeechEngine &engine, const SpObjectToken &voice, const QString &text)
{
    QTemporaryDir folder;
    QElapsedTimer timer;
    timer.start();
    HelperVoice speaker(engine);
    speaker.setVoice(voice);
    const RenderedSound sound =
        renderToFile(speaker, {.text = text,
                               .fileName = folder.filePath(QStringLiteral("flite.wav")),
                               .format = SoundFileFormat::Wav,
                               .progress = {}});
    return {double(timer.nsecsElapsed()) / 1e9, sound.seconds()};
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
                    "(%5.1fx real time)\n",
                    name, qPrintable(voice.engine()), firstAudio.at(firstAudio.size() / 2), rendering.seconds,
                    rendering.audioSeconds, rendering.audioSeconds / rendering.seconds);
    }
    return 0;
}
