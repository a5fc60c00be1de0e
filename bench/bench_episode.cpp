// Saving podcast episodes: 5,000 words to MP3 at 96 kbps, levelled and tagged, with espeak-ng
// (against espeak-ng -w followed by lame -b 96) and with flite's slt (against its own WAV);
// then 100,000 words to MP3 with the peak memory of the program and its helpers together.
// Run by hand: bin/bench_episode [--espeak-only] [folder to keep the episodes in]
// (--espeak-only: the first figure alone, for quick rounds while tuning the MP3 path)
#include "bench/benchtext.h"
#include "engine/helperspeechengine.h"
#include "episode/episodesaver.h"
#include "listening/spokentext.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

namespace {

// Processor time of this process and its finished children (the helpers), in seconds: less
// swayed than the elapsed time by other work on a shared machine.
double processorSeconds()
{
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

struct Saving
{
    double seconds = 0;
    double processor = 0;
    double peakTreeMiB = 0;
};

Saving save(HelperSpeechEngine &engine, const QString &voiceName, const QString &text, const QString &path,
            SoundFileFormat format, bool watchMemory = false)
{
    SoundFileSettings settings;
    settings.artist = QStringLiteral("Parlora benchmark");
    settings.album = QStringLiteral("Readings");
    settings.transcripts = true;
    Saving result;
    const auto watch = [&result](double) {
        double total = 0;
        for (const qint64 pid : processTree(QCoreApplication::applicationPid()))
            total += currentResidentMiB(pid);
        result.peakTreeMiB = std::max(result.peakTreeMiB, total);
        return true;
    };
    QElapsedTimer timer;
    timer.start();
    const double processorBefore = processorSeconds();
    auto voice = engine.createVoice();
    voice->setVoice(voice->GetVoices(QStringLiteral("Name=") + voiceName).Item(0));
    const QString episodeText = QStringLiteral("# A benchmark episode\n") + text;
    const EpisodeOutline outline = episodeOutlineOf(episodeText);
    (void)saveEpisode(*voice, outline, SpokenText(outline.spokenText), path, format, settings,
                      watchMemory ? std::function<bool(double)>(watch) : nullptr);
    result.seconds = double(timer.nsecsElapsed()) / 1e9;
    result.processor = processorSeconds() - processorBefore;
    return result;
}

double secondsForCommands(const QList<std::pair<QString, QStringList>> &commands)
{
    QElapsedTimer timer;
    timer.start();
    for (const auto &[program, arguments] : commands) {
        QProcess command;
        command.start(program, arguments);
        command.waitForFinished(-1);
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
    (void)engine.catalog();
    QStringList arguments = application.arguments().mid(1);
    const bool espeakOnly = arguments.removeAll(QStringLiteral("--espeak-only")) > 0;
    QTemporaryDir temporary;
    const QString folder = arguments.isEmpty() ? temporary.path() : arguments.first();
    QDir().mkpath(folder);
    const QString textPath = folder + QStringLiteral("/text.txt");
    QString text;
    if (!writeBenchmarkText(5000, textPath, text))
        return 1;

    const QString espeak = QStringLiteral("English (America)");
    const QString commandWav = folder + QStringLiteral("/command.wav");
    const double commands =
        secondsForCommands({{QStringLiteral("espeak-ng"),
                             {QStringLiteral("-w"), commandWav, QStringLiteral("-v"), QStringLiteral("en-us"),
                              QStringLiteral("-f"), textPath}},
                            {QStringLiteral("lame"),
                             {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("96"),
                              commandWav, folder + QStringLiteral("/command.mp3")}}});
    const Saving ours =
        save(engine, espeak, text, folder + QStringLiteral("/espeak.mp3"), SoundFileFormat::Mp3);
    std::printf("espeak-ng, 5,000 words: espeak-ng -w then lame -b 96 %.2f s; Parlora MP3 episode %.2f s "
                "(processor %.2f s), ratio %.2f (target at most 0.40)\n",
                commands, ours.seconds, ours.processor, ours.seconds / commands);
    if (espeakOnly)
        return 0;

    const QString slt = QStringLiteral("English (America) - slt");
    auto voice = engine.createVoice();
    voice->setVoice(voice->GetVoices(QStringLiteral("Name=") + slt).Item(0));
    QElapsedTimer timer;
    timer.start();
    const double processorBefore = processorSeconds();
    (void)renderToFile(*voice,
                       {.text = text, .fileName = folder + QStringLiteral("/slt.wav"), .progress = {}});
    const double sltWav = double(timer.nsecsElapsed()) / 1e9;
    const double sltWavProcessor = processorSeconds() - processorBefore;
    const Saving sltMp3 = save(engine, slt, text, folder + QStringLiteral("/slt.mp3"), SoundFileFormat::Mp3);
    std::printf(
        "flite slt, 5,000 words: WAV %.2f s (processor %.2f s), MP3 episode %.2f s (processor %.2f s), "
        "ratio %.2f (target at most 1.15)\n",
        sltWav, sltWavProcessor, sltMp3.seconds, sltMp3.processor, sltMp3.seconds / sltWav);

    const Saving book = save(engine, espeak, benchmarkText(100000), folder + QStringLiteral("/book.mp3"),
                             SoundFileFormat::Mp3, true);
    std::printf("espeak-ng, 100,000 words to an MP3 episode: %.1f s; peak resident of program plus helpers "
                "%.1f MiB (target under 150 MB)\n",
                book.seconds, book.peakTreeMiB);
    return 0;
}
