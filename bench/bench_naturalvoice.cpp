// A natural voice rendering 5,000 words to WAV, side by side in one run with what bounds it:
// onnxruntime's own inference of the same ids on as many threads as Parlora has rendering
// helpers, one session each, and Piper's engine on the same text and voice. Also the peak
// memory of the program and its helpers while it renders.
// Run by hand, with the voice installed where Parlora finds it:
//   bin/bench_naturalvoice "English (America) - joe (natural)" [PYTHON_WITH_PIPER]
#include "bench/benchtext.h"
#include "engine/helper/espeakphonemizer.h"
#include "engine/helper/modelruns.h"
#include "engine/helper/onnxvoicemodel.h"
#include "engine/helperspeechengine.h"
#include "engine/naturalvoices/naturalvoiceconfig.h"
#include "engine/naturalvoices/phonemeids.h"
#include "engine/rendertofile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

constexpr int Words = 5000;

struct Rendered
{
    double seconds = 0;
    double audioSeconds = 0;
    double peakTreeMiB = 0;
};

Rendered renderWithParlora(HelperSpeechEngine &engine, const SpObjectToken &voiceToken, const QString &text,
                           const QString &path)
{
    Rendered result;
    auto voice = engine.createVoice();
    voice->setVoice(voiceToken);
    QElapsedTimer timer;
    timer.start();
    const RenderedSound sound = renderToFile(
        *voice,
        {.text = text, .fileName = path, .format = SoundFileFormat::Wav, .progress = [&result](double) {
             double total = 0;
             for (const qint64 pid : processTree(QCoreApplication::applicationPid()))
                 total += currentResidentMiB(pid);
             result.peakTreeMiB = std::max(result.peakTreeMiB, total);
             return true;
         }});
    result.seconds = double(timer.nsecsElapsed()) / 1e9;
    result.audioSeconds = sound.seconds();
    return result;
}

// The model alone on the same ids, spread over the same number of sessions.
double inferenceAlone(const std::string &model, const NaturalVoiceConfig &config, const QString &text,
                      int sessions)
{
    if (EspeakPhonemizer::initialise() == 0 ||
        !EspeakPhonemizer::selectLanguage(config.espeakVoice.toStdString()).empty())
        return -1;
    std::vector<std::vector<std::int64_t>> ids;
    for (PhonemizedSentence &sentence : EspeakPhonemizer::sentences(text.toStdString()))
        for (const PhonemizedSentence &run : modelRuns(std::move(sentence)))
            if (!run.phonemes.empty())
                ids.push_back(phonemeIds(config, QString::fromStdString(run.phonemes)));
    std::vector<std::unique_ptr<OnnxVoiceModel>> models;
    for (int i = 0; i < sessions; ++i) {
        OnnxVoiceModel::Opened opened = OnnxVoiceModel::open(model, 1, config.speakerCount > 1);
        if (!opened.model) {
            std::fprintf(stderr, "%s\n", opened.error.c_str());
            return -1;
        }
        models.push_back(std::move(opened.model));
    }
    const float scales[3] = {config.noiseScale, config.lengthScale, config.noiseWidth};
    std::atomic<std::size_t> next{0};
    QElapsedTimer timer;
    timer.start();
    std::vector<std::thread> threads;
    for (const auto &session : models)
        threads.emplace_back([&, model = session.get()] {
            for (std::size_t i = next++; i < ids.size(); i = next++)
                (void)model->run(ids[i], scales, 0);
        });
    for (std::thread &thread : threads)
        thread.join();
    return double(timer.nsecsElapsed()) / 1e9;
}

double piperAlone(const QString &python, const QString &model, const QString &textPath, const QString &out)
{
    QElapsedTimer timer;
    timer.start();
    QProcess piper;
    piper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    piper.start(python, {QStringLiteral("-m"), QStringLiteral("piper"), QStringLiteral("-m"), model,
                         QStringLiteral("-i"), textPath, QStringLiteral("-f"), out});
    if (!piper.waitForFinished(-1) || piper.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_naturalvoice VOICE_NAME [PYTHON_WITH_PIPER]\n");
        return 2;
    }
    const QString voiceName = QString::fromLocal8Bit(argv[1]);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
    auto probe = engine.createVoice();
    const SpObjectToken voice = probe->GetVoices(QStringLiteral("Name=") + voiceName).Item(0);
    if (voice.isNull()) {
        std::fprintf(stderr, "no voice named %s\n", argv[1]);
        return 1;
    }
    QFile configFile(voice.id() + QStringLiteral(".json"));
    const auto config = configFile.open(QIODevice::ReadOnly)
                            ? NaturalVoiceConfig::fromJson(configFile.readAll())
                            : NaturalVoiceConfig::Result{};
    if (!config.config) {
        std::fprintf(stderr, "its configuration cannot be read\n");
        return 1;
    }

    // The shared benchmark text starts its sentences in lower case, which espeak-ng takes for
    // one sentence throughout: Piper's engine would run its model on all of it at once and ask
    // for gigabytes. Capitals make them sentences for both.
    QString text = benchmarkText(Words);
    for (qsizetype i = 0; i < text.size(); ++i)
        if (i == 0 || (i >= 2 && text.at(i - 2) == u'.' && text.at(i - 1) == u' '))
            text[i] = text.at(i).toUpper();
    QTemporaryDir folder;
    const QString textPath = folder.filePath(QStringLiteral("text.txt"));
    QFile textFile(textPath);
    if (!textFile.open(QIODevice::WriteOnly) || textFile.write(text.toUtf8()) < 0 || !textFile.flush())
        return 1;
    textFile.close();
    const int helpers = QThread::idealThreadCount();
    std::printf("%s, %d words to WAV, %d rendering helpers\n", argv[1], Words, helpers);

    const Rendered ours = renderWithParlora(engine, voice, text, folder.filePath(QStringLiteral("ours.wav")));
    const double alone = inferenceAlone(voice.id().toStdString(), *config.config, text, helpers);
    std::printf("  Parlora WAV:                     %7.2f s for %.1f min of audio\n", ours.seconds,
                ours.audioSeconds / 60);
    std::printf("  onnxruntime alone, same ids:     %7.2f s   ratio %.2f (target at most 1.10)\n", alone,
                ours.seconds / alone);
    if (argc > 2) {
        const double piper = piperAlone(QString::fromLocal8Bit(argv[2]), voice.id(), textPath,
                                        folder.filePath(QStringLiteral("piper.wav")));
        std::printf("  Piper's engine, same text:       %7.2f s   ratio %.2f (target at most 0.60)\n", piper,
                    ours.seconds / piper);
    }
    std::printf("  peak resident of program plus helpers: %.1f MiB (target under 500 MB)\n",
                ours.peakTreeMiB);
    return 0;
}
