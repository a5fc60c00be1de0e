// Rendering speech into sound files, next to the engines' own commands doing the same:
// 5,000 words to WAV with espeak-ng (against espeak-ng -w) and with flite's slt (against
// flite -voice slt -o, skipped when that command is missing), then to MP3, Ogg Vorbis and FLAC;
// and 100,000 words with the peak memory of the program and its helpers together.
// Run by hand: bin/bench_rendering [helpers], bin/bench_rendering --memory for the memory
// figures alone, or bin/bench_rendering --wav for espeak-ng's WAV against espeak-ng -w alone,
// run more often, as that figure is the closest to its target.
#include "bench/benchtext.h"
#include "engine/helperspeechengine.h"
#include "engine/rendertofile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Runs = 3;
constexpr int WavOnlyRuns = 9;

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

struct Rendering
{
    double seconds = 0;
    double audioSeconds = 0;
    double peakTreeMiB = 0; // program plus helpers, resident at the same moment
    double peakTreeProportionalMiB = 0; // the same with shared pages counted once
};

Rendering render(HelperSpeechEngine &engine, const QString &voiceName, const QString &text,
                 const QString &path, SoundFileFormat format, bool watchMemory = false)
{
    Rendering result;
    QElapsedTimer timer;
    timer.start();
    auto voice = engine.createVoice();
    voice->setVoice(voice->GetVoices(QStringLiteral("Name=") + voiceName).Item(0));
    const auto watch = [&result](double) {
        double total = 0;
        double proportional = 0;
        for (const qint64 pid : processTree(QCoreApplication::applicationPid())) {
            total += currentResidentMiB(pid);
            proportional += currentProportionalMiB(pid);
        }
        result.peakTreeMiB = std::max(result.peakTreeMiB, total);
        result.peakTreeProportionalMiB = std::max(result.peakTreeProportionalMiB, proportional);
        return true;
    };
    const RenderedSound sound =
        renderToFile(*voice, {.text = text,
                              .fileName = path,
                              .format = format,
                              .progress = watchMemory ? std::function<bool(double)>(watch) : nullptr});
    result.seconds = double(timer.nsecsElapsed()) / 1e9;
    result.audioSeconds = sound.seconds();
    return result;
}

double secondsForCommand(const QString &program, const QStringList &arguments)
{
    QElapsedTimer timer;
    timer.start();
    QProcess command;
    command.start(program, arguments);
    command.waitForFinished(-1);
    return double(timer.nsecsElapsed()) / 1e9;
}

void compare(HelperSpeechEngine &engine, const char *title, const QString &voiceName, const QString &text,
             const QString &folder, const QString &program, const QStringList &arguments, double target,
             int runs = Runs)
{
    QList<double> ours;
    QList<double> command;
    const QString wavPath = folder + QStringLiteral("/ours.wav");
    const QString commandPath = folder + QStringLiteral("/command.wav"); // where the arguments say
    // Each writes a new file, with nothing of the last run left to free: overwriting a file
    // frees its blocks, and on a disk mounted with discard the next flush of the file system
    // waits for that. The command does not flush and ours does (a saved file is on the disk),
    // so ours would pay for the command's old file too.
    const auto startFresh = [](const QString &path) {
        QFile::remove(path);
        ::sync();
    };
    for (int i = 0; i < runs; ++i) { // interleaved, so load on the machine hits both alike
        startFresh(commandPath);
        command.append(secondsForCommand(program, arguments));
        startFresh(wavPath);
        ours.append(render(engine, voiceName, text, wavPath, SoundFileFormat::Wav).seconds);
    }
    // The machine's speed drifts from minute to minute, so each run is set against the command's
    // run just before it, and the median of those ratios is the figure.
    QList<double> ratios;
    for (int i = 0; i < runs; ++i)
        ratios.append(ours.at(i) / command.at(i));
    std::printf("%s, 5,000 words, median of %d\n", title, runs);
    std::printf("  %-22s %6.2f s\n", qPrintable(program + u' ' + arguments.first()), median(command));
    std::printf("  Parlora WAV:           %6.2f s   ratio of the medians %.2f\n", median(ours),
                median(ours) / median(command));
    std::printf("  ratio run by run: median %.2f, from %.2f to %.2f (target at most %.2f)\n", median(ratios),
                *std::min_element(ratios.cbegin(), ratios.cend()), *std::max_element(ratios.cbegin(), ratios.cend()),
                target);
}

// The engines' own commands against ours, and the other formats against WAV.
void compareEspeak(HelperSpeechEngine &engine, const QString &espeak, const QString &text,
                   const QString &textPath, const QTemporaryDir &folder, int runs = Runs)
{
    compare(engine, "espeak-ng English (America)", espeak, text, folder.path(), QStringLiteral("espeak-ng"),
            {QStringLiteral("-w"), folder.filePath(QStringLiteral("command.wav")), QStringLiteral("-v"),
             QStringLiteral("en-us"), QStringLiteral("-f"), textPath},
            0.65, runs);
}

void compareSpeeds(HelperSpeechEngine &engine, const QString &espeak, const QString &text,
                   const QString &textPath, const QTemporaryDir &folder)
{
    compareEspeak(engine, espeak, text, textPath, folder);
    if (!QStandardPaths::findExecutable(QStringLiteral("flite")).isEmpty())
        compare(engine, "flite slt", QStringLiteral("English (America) - slt"), text, folder.path(),
                QStringLiteral("flite"),
                {QStringLiteral("-voice"), QStringLiteral("slt"), QStringLiteral("-f"), textPath,
                 QStringLiteral("-o"), folder.filePath(QStringLiteral("command.wav"))},
                0.6);
    else
        std::printf("flite slt: the flite command is not installed, no comparison\n");

    QList<double> wavRuns;
    for (int i = 0; i < Runs; ++i)
        wavRuns.append(
            render(engine, espeak, text, folder.filePath(QStringLiteral("ours.wav")), SoundFileFormat::Wav)
                .seconds);
    const double wav = median(wavRuns);
    const struct
    {
        const char *name;
        SoundFileFormat format;
        const char *file;
    } compressed[] = {{"MP3", SoundFileFormat::Mp3, "ours.mp3"},
                      {"Ogg Vorbis", SoundFileFormat::OggVorbis, "ours.ogg"},
                      {"FLAC", SoundFileFormat::Flac, "ours.flac"}};
    std::printf("espeak-ng, 5,000 words, other formats (WAV %.2f s)\n", wav);
    for (const auto &entry : compressed) {
        const QString path = folder.filePath(QString::fromLatin1(entry.file));
        const double seconds = render(engine, espeak, text, path, entry.format).seconds;
        std::printf("  %-10s %6.2f s  %6.1f MB   %.2fx the WAV time%s\n", entry.name, seconds,
                    double(QFileInfo(path).size()) / 1e6, seconds / wav,
                    entry.format == SoundFileFormat::Mp3 ? " (target at most 1.30)" : "");
    }

    // flite's voices are slow enough that the encoder keeps up with them.
    const QString slt = QStringLiteral("English (America) - slt");
    const double sltWav =
        render(engine, slt, text, folder.filePath(QStringLiteral("slt.wav")), SoundFileFormat::Wav).seconds;
    const double sltMp3 =
        render(engine, slt, text, folder.filePath(QStringLiteral("slt.mp3")), SoundFileFormat::Mp3).seconds;
    std::printf("flite slt, 5,000 words: WAV %.2f s, MP3 %.2f s, %.2fx the WAV time (target at most 1.30)\n",
                sltWav, sltMp3, sltMp3 / sltWav);
}

// A book, and a run-on text on eight helpers, with the memory of the whole process tree.
void renderLong(HelperSpeechEngine &engine, const QString &espeak, const QTemporaryDir &folder)
{
    const Rendering book = render(engine, espeak, benchmarkText(100000),
                                  folder.filePath(QStringLiteral("book.wav")), SoundFileFormat::Wav, true);
    std::printf(
        "espeak-ng, 100,000 words to WAV: %.1f s for %.0f min of audio; peak resident of program plus "
        "helpers %.1f MiB, shared pages once %.1f MiB (target under 150 MB)\n",
        book.seconds, book.audioSeconds / 60, book.peakTreeMiB, book.peakTreeProportionalMiB);

    // Without sentence ends the text is cut into passages of about 1,000 bytes.
    QString runOn = benchmarkText(20000);
    runOn.remove(u'.');
    engine.setRenderingHelperCount(8);
    const Rendering wide = render(engine, espeak, runOn, folder.filePath(QStringLiteral("wide.wav")),
                                  SoundFileFormat::Wav, true);
    std::printf("espeak-ng, 20,000 words in 1,000-byte passages on 8 helpers: %.1f s for %.0f min of audio; "
                "peak resident of program plus helpers %.1f MiB, shared pages once %.1f MiB (target under 150 MB)\n",
                wide.seconds, wide.audioSeconds / 60, wide.peakTreeMiB, wide.peakTreeProportionalMiB);
}

} // namespace

int main(int argc, char *argv[])
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as it comes, also into a pipe
    QCoreApplication application(argc, argv);
    HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
    const bool memoryOnly = argc > 1 && QByteArray(argv[1]) == "--memory";
    const bool wavOnly = argc > 1 && QByteArray(argv[1]) == "--wav";
    if (argc > 1 && !memoryOnly && !wavOnly)
        engine.setRenderingHelperCount(QString::fromLocal8Bit(argv[1]).toInt());
    (void)engine.catalog();
    std::printf("%d cores, %d rendering helpers\n", QThread::idealThreadCount(),
                engine.renderingHelperCount());
    QTemporaryDir folder;
    const QString textPath = folder.filePath(QStringLiteral("text.txt"));
    QString text;
    if (!writeBenchmarkText(5000, textPath, text))
        return 1;

    const QString espeak = QStringLiteral("English (America)");
    if (wavOnly) {
        compareEspeak(engine, espeak, text, textPath, folder, WavOnlyRuns);
        return 0;
    }
    if (!memoryOnly)
        compareSpeeds(engine, espeak, text, textPath, folder);
    renderLong(engine, espeak, folder);
    return 0;
}
