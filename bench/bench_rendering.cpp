// Rendering speech into sound files: 5,000 words to WAV next to the espeak-ng command doing
// the same, then to MP3, Ogg Vorbis and FLAC. Run by hand: bin/bench_rendering
#include "bench/benchtext.h"
#include "platform/engine/helperspeechengine.h"
#include "platform/engine/rendertofile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
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

double secondsToRender(HelperSpeechEngine &engine, const QString &text, const QString &path,
                       SoundFileFormat format)
{
    QElapsedTimer timer;
    timer.start();
    auto voice = engine.createVoice();
    voice->setVoice(voice->GetVoices(QStringLiteral("Name=English (America)")).Item(0));
    (void)renderToFile(*voice, {.text = text, .fileName = path, .format = format, .progress = {}});
    return double(timer.nsecsElapsed()) / 1e9;
}

double secondsForCommand(const QString &textPath, const QString &wavPath)
{
    QElapsedTimer timer;
    timer.start();
    QProcess command;
    command.start(QStringLiteral("espeak-ng"),
                  {QStringLiteral("-v"), QStringLiteral("en-us"), QStringLiteral("-w"), wavPath,
                   QStringLiteral("-f"), textPath});
    command.waitForFinished(-1);
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
    (void)engine.catalog();
    QTemporaryDir folder;
    const QString text = benchmarkText(5000);
    const QString textPath = folder.filePath(QStringLiteral("text.txt"));
    QFile textFile(textPath);
    if (!textFile.open(QIODevice::WriteOnly))
        return 1;
    textFile.write(text.toUtf8());
    textFile.close();

    QList<double> ours;
    QList<double> command;
    const QString wavPath = folder.filePath(QStringLiteral("ours.wav"));
    const QString commandPath = folder.filePath(QStringLiteral("command.wav"));
    for (int i = 0; i < Runs; ++i) { // interleaved, so load on the machine hits both alike
        command.append(secondsForCommand(textPath, commandPath));
        ours.append(secondsToRender(engine, text, wavPath, SoundFileFormat::Wav));
    }
    const double wavSize = double(QFileInfo(wavPath).size()) / 1e6;
    std::printf("5,000 words, English (America), median of %d\n", Runs);
    std::printf("  espeak-ng -w:   %6.2f s  %7.1f MB\n", median(command),
                double(QFileInfo(commandPath).size()) / 1e6);
    std::printf("  Parlora WAV:    %6.2f s  %7.1f MB   ratio %.2f (target at most 1.10)\n", median(ours),
                wavSize, median(ours) / median(command));

    const struct
    {
        const char *name;
        SoundFileFormat format;
        const char *file;
    } compressed[] = {{"MP3", SoundFileFormat::Mp3, "ours.mp3"},
                      {"Ogg Vorbis", SoundFileFormat::OggVorbis, "ours.ogg"},
                      {"FLAC", SoundFileFormat::Flac, "ours.flac"}};
    for (const auto &entry : compressed) {
        const QString path = folder.filePath(QString::fromLatin1(entry.file));
        const double seconds = secondsToRender(engine, text, path, entry.format);
        std::printf("  Parlora %-7s %6.2f s  %7.1f MB\n", entry.name, seconds,
                    double(QFileInfo(path).size()) / 1e6);
    }
    return 0;
}
