#include "engine/helper/naturalsynthesizer.h"

#include "engine/helper/espeakphonemizer.h"
#include "engine/helper/modelruns.h"
#include "engine/helper/onnxvoicemodel.h"
#include "engine/naturalvoices/naturalvoicefolders.h"
#include "engine/naturalvoices/phonemeids.h"
#include "engine/protocol/helperprotocol.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Above flite's voices, which sound more natural than espeak-ng's.
constexpr int Naturalness = 10;
// The audio goes out in pieces of this many samples, so the first is heard while the rest of the
// sentence is still being converted.
constexpr std::size_t PieceSamples = 4096;

NaturalVoiceConfig::Result readConfig(const std::string &modelPath)
{
    QFile file(QString::fromStdString(modelPath + ".json"));
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt,
                QStringLiteral("The voice's configuration %1 cannot be read.").arg(file.fileName())};
    // A configuration is a few kilobytes; its phoneme map is the largest part.
    constexpr qint64 MaxConfigBytes = 4 << 20;
    const QByteArray json = file.read(MaxConfigBytes + 1);
    if (json.size() > MaxConfigBytes)
        return {std::nullopt, QStringLiteral("The voice's configuration is too large to be one.")};
    return NaturalVoiceConfig::fromJson(json);
}

// The threads one model may use: the program gives each helper its share of the cores.
int modelThreads()
{
    const char *value = std::getenv(HelperProtocol::EngineThreadsVariable);
    const int threads = value != nullptr ? std::atoi(value) : 1;
    return std::clamp(threads, 1, 64);
}

bool startEspeak()
{
    return EspeakPhonemizer::initialise() > 0;
}

std::vector<std::string> languagesOf(const NaturalVoiceConfig &config)
{
    // "en_US" -> "en-us", then "en".
    QString code = config.languageCode.toLower().replace(QLatin1Char('_'), QLatin1Char('-'));
    std::vector<std::string> languages{code.toStdString()};
    const qsizetype dash = code.indexOf(QLatin1Char('-'));
    if (dash > 0)
        languages.push_back(code.left(dash).toStdString());
    return languages;
}

} // namespace

NaturalSynthesizer::NaturalSynthesizer() = default;
NaturalSynthesizer::~NaturalSynthesizer() = default;

std::vector<HelperVoiceInfo> NaturalSynthesizer::voices()
{
    std::vector<HelperVoiceInfo> result;
    if (!m_espeakReady)
        m_espeakReady = startEspeak();
    for (const NaturalVoiceFolders::InstalledVoice &voice : NaturalVoiceFolders::installedVoices()) {
        const std::string modelPath = voice.modelPath.toStdString();
        const NaturalVoiceConfig::Result read = readConfig(modelPath);
        if (!read.config)
            continue;
        std::string language = m_espeakReady
                                   ? EspeakPhonemizer::languageName(read.config->espeakVoice.toStdString())
                                   : std::string();
        if (language.empty())
            language = read.config->languageCode.toStdString();
        QString name = read.config->dataset;
        if (name.isEmpty())
            name = QFileInfo(voice.modelPath).completeBaseName();
        result.push_back({HelperProtocol::NaturalEngine, modelPath,
                          language + " - " + name.toStdString() + " (natural)", languagesOf(*read.config),
                          Naturalness});
    }
    return result;
}

std::string NaturalSynthesizer::selectVoice(const std::string &id)
{
    NaturalVoiceConfig::Result read = readConfig(id);
    if (!read.config)
        return read.error.toStdString();
    if (!m_espeakReady && !(m_espeakReady = startEspeak()))
        return "The espeak-ng speech data could not be loaded.";
    if (const std::string error = EspeakPhonemizer::selectLanguage(read.config->espeakVoice.toStdString());
        !error.empty())
        return error;
    OnnxVoiceModel::Opened opened = OnnxVoiceModel::open(id, modelThreads(), read.config->speakerCount > 1);
    if (!opened.model)
        return opened.error;
    m_config = std::move(read.config);
    m_model = std::move(opened.model);
    return {};
}

std::string NaturalSynthesizer::check(const std::string &modelPath)
{
    const NaturalVoiceConfig::Result read = readConfig(modelPath);
    if (!read.config)
        return read.error.toStdString();
    return OnnxVoiceModel::open(modelPath, 1, read.config->speakerCount > 1).error;
}

void NaturalSynthesizer::setAdjustment(const VoiceAdjustment &adjustment)
{
    m_adjustment = adjustment;
}

std::string NaturalSynthesizer::speak(const std::string &utf8Text, const SampleSink &samples,
                                      const ProgressSink &progress)
{
    if (!m_model)
        return "No natural voice is selected.";
    // The model's length scale is the time each phoneme takes: faster speech is a smaller one.
    const float scales[3] = {m_config->noiseScale,
                             m_config->lengthScale * 100.0f / float(m_adjustment.speedPercent),
                             m_config->noiseWidth};
    const float volume = float(m_adjustment.volumePercent) / 100.0f;
    std::uint64_t sampleOffset = 0;
    std::vector<short> pcm;
    std::vector<PhonemizedSentence> runs;
    for (PhonemizedSentence &sentence : EspeakPhonemizer::sentences(utf8Text))
        for (PhonemizedSentence &run : modelRuns(std::move(sentence)))
            runs.push_back(std::move(run));
    for (const PhonemizedSentence &sentence : runs) {
        if (sentence.phonemes.empty())
            continue;
        const std::vector<std::int64_t> ids =
            phonemeIds(*m_config, QString::fromStdString(sentence.phonemes));
        OnnxVoiceModel::Output output = m_model->run(ids, scales, 0);
        if (!output.error.empty())
            return output.error;
        // Each sentence is brought to full scale, as the voices were meant to be played.
        float peak = 0.0f;
        for (const float sample : output.audio)
            peak = std::max(peak, std::fabs(sample));
        const float gain = peak < 1e-8f ? 0.0f : volume / peak;
        pcm.resize(output.audio.size());
        for (std::size_t i = 0; i < pcm.size(); ++i)
            pcm[i] = static_cast<short>(std::clamp(output.audio[i] * gain, -1.0f, 1.0f) * 32767.0f);

        if (m_wordMarkers) {
            std::size_t wordCount = 0;
            for (const PhonemizedClause &clause : sentence.clauses)
                wordCount += clause.words.size();
            // The model's own durations where it gives them, else the estimate.
            const std::vector<std::uint64_t> starts =
                wordStartsFromDurations(*m_config, QString::fromStdString(sentence.phonemes),
                                        output.durations, wordCount)
                    .value_or(estimatedWordStarts(sentence.clauses, pcm.size()));
            std::size_t index = 0;
            for (const PhonemizedClause &clause : sentence.clauses)
                for (const PhonemizedWord &word : clause.words)
                    m_wordMarkers({word.start, word.length, sampleOffset + starts[index++]});
        }
        for (std::size_t done = 0; done < pcm.size(); done += PieceSamples) {
            const int count = static_cast<int>(std::min(PieceSamples, pcm.size() - done));
            if (!samples(pcm.data() + done, count))
                return {};
        }
        sampleOffset += pcm.size();
        if (!sentence.clauses.empty() && !sentence.clauses.back().words.empty()) {
            const PhonemizedWord &last = sentence.clauses.back().words.back();
            progress(last.start + last.length);
        }
    }
    return {};
}
