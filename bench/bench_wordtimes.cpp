// How far the word times estimated for natural voices are from true ones. Each sentence, as the
// phonemizer splits it, is spoken by espeak-ng, the estimate shares that sentence's real length
// over its words, and each word's estimated start is compared with espeak-ng's own marker for it.
// With --natural, a natural voice speaks instead, one whose model was made to give its phonemes'
// durations (Piper's patch_voice_with_alignment), and those are the true times.
// Run by hand: bin/bench_wordtimes [--natural MODEL.onnx] [--worst N] [UTF-8 text file]
// (without a file, 4,000 words of varied generated prose)
#include "engine/helper/espeakphonemizer.h"
#include "engine/helper/espeaksynthesizer.h"
#include "engine/helper/onnxvoicemodel.h"
#include "engine/naturalvoices/naturalvoiceconfig.h"
#include "engine/naturalvoices/phonemeids.h"
#include "engine/naturalvoices/wordtimeestimate.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int GeneratedWords = 4000;

// Prose with what makes timing hard: numbers, abbreviations, quotes, parentheses, dashes, and
// sentences from one word to forty. Seeded, so every run reads the same text. In a pattern,
// {a|b} is a or b, {2-12} a number between (as wide as the first), {name} an entry of that list
// and {Name} the same capitalised; entries are patterns too.
class ProseGenerator final
{
public:
    QString text(int words)
    {
        QString prose;
        for (int sentence = 1; prose.count(u' ') < words; ++sentence)
            prose += filled(u"{sentence}"_s) + (sentence % 6 == 0 ? u'\n' : u' ');
        return prose;
    }

private:
    QString filled(const QString &pattern)
    {
        QString result;
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            const qsizetype close = pattern.indexOf(u'}', i);
            if (pattern[i] != u'{' || close < 0) {
                result += pattern[i];
                continue;
            }
            result += expanded(pattern.mid(i + 1, close - i - 1));
            i = close;
        }
        return result;
    }

    QString expanded(const QString &slot)
    {
        const QStringList range = slot.split(u'-');
        if (range.size() == 2 && !range[0].isEmpty() && range[0].front().isDigit()) {
            const int low = range[0].toInt();
            const int number = low + int(m_random() % unsigned(range[1].toInt() - low + 1));
            return u"%1"_s.arg(number, int(range[0].size()), 10, QLatin1Char('0'));
        }
        const QStringList choices = slot.contains(u'|') ? slot.split(u'|') : m_lists.value(slot.toLower());
        QString entry = filled(choices.at(qsizetype(m_random() % unsigned(choices.size()))));
        if (slot.front().isUpper())
            entry[0] = entry[0].toUpper();
        return entry;
    }

    const QHash<QString, QStringList> m_lists{
        {u"name"_s,
         {u"Maria"_s, u"Dr. Okafor"_s, u"Mr. Lindqvist"_s, u"Professor Chen"_s, u"the captain"_s,
          u"Aunt June"_s, u"Mrs. O'Neill"_s, u"Tomás"_s, u"the night nurse"_s, u"J. R. Harlow"_s,
          u"our neighbour"_s, u"Sgt. Pillay"_s}},
        {u"place"_s,
         {u"the harbour"_s, u"Lisbon"_s, u"the old mill on Route 9"_s, u"St. Petersburg"_s,
          u"the U.K. office"_s, u"a village north of the river"_s, u"platform 4"_s,
          u"the museum's east wing"_s, u"Mount Kenya"_s, u"the bakery on Elm St."_s}},
        {u"things"_s,
         {u"lanterns"_s, u"letters"_s, u"bicycles"_s, u"orange trees"_s, u"tickets"_s, u"engineers"_s,
          u"children"_s, u"old photographs"_s, u"boats"_s, u"spreadsheets"_s}},
        {u"clause"_s,
         {u"the rain had not stopped for days"_s, u"nobody knew where the keys were"_s,
          u"the bells began to ring across the valley"_s, u"it was far too late to turn back"_s,
          u"the last train had already left"_s, u"someone had written a name on the wall"_s,
          u"prices had doubled since the spring"_s, u"the dog refused to go any further"_s,
          u"the lights in the tower went out one by one"_s, u"we had forgotten the map at home"_s,
          u"the committee voted against the plan"_s, u"a strange quiet settled over the street"_s,
          u"she laughed"_s, u"it worked"_s, u"the engine coughed twice and died"_s,
          u"the results were better than anyone had hoped"_s}},
        {u"number"_s,
         {u"{2-12}"_s, u"{13-99}"_s, u"{1-99},{000-999}"_s, u"{0-20}.{1-9}"_s, u"{1850-2030}"_s,
          u"${1-500}.{00-99}"_s, u"{1-100}%"_s, u"{1-12}:{00-59}"_s}},
        {u"sentence"_s,
         {u"{Name} reached {place} at {1-12} p.m., just as {clause}."_s,
          u"\"Where did you put the {things}?\" asked {name}."_s,
          u"The survey (carried out in {1950-2023} by the N.H.S.) found that {2-9} of every ten {things} "
          u"were "
          "never used again."_s,
          u"{Clause}; {clause}."_s,
          u"It cost {number}, which was, frankly, absurd."_s,
          u"{No.|Wait!|Really?|Of course.|Not again!|Why?}"_s,
          u"According to {name}, {clause} — but {clause}."_s,
          u"{Name} said: \"{Clause}, and {clause}.\""_s,
          u"Between {1900-1960} and {1961-2020}, the population of {place} grew by {2-90}%, from {number} to "
          "roughly {number} people."_s,
          u"We left at {5-9} a.m. and arrived {2-14} hours later, tired, hungry and cold."_s,
          u"Dr. Ames (no relation to {name}) wrote {number} books, e.g. \"Salt\", \"The Long Field\" and "
          "\"Winter Roads\", etc."_s,
          u"When {clause}, and when {clause}, {name} would walk down to {place}, sit on the "
          "{third|fifth|last|12th} bench from the gate, and watch the {things} until {clause}."_s,
          u"Call 555-{1000-9999} before {Monday|Friday|noon|the 3rd}, or write to {name} at {1-300} Harbour Rd."_s,
          u"{Clause}..."_s,
          u"The U.S. and Canada signed the agreement on {March|June|October} {1-28}, {1960-2022}."_s,
          u"Item {1-40}: {things}, {things}, and {things}."_s,
          u"Temperatures fell to {-|}{0-20} °C overnight (about {0-40} °F), the lowest since {1900-2020}."_s,
          u"Is it true that {clause}?"_s,
          u"{Name}'s answer was short: {clause}."_s,
          u"She read chapters {1-9}-{10-20} aloud, paused, and then, without a word, closed the book."_s}},
    };
    std::mt19937 m_random{20240611};
};

// A sentence as a voice spoke it: its length, and where each of its words truly begins (none
// where the voice's own times cannot be tied to the word).
struct Spoken
{
    std::uint64_t samples = 0;
    std::vector<std::optional<std::uint64_t>> wordStarts;
};

// The part of the text a sentence spans: to where the next one's first word begins, so that its
// closing quotes and brackets are spoken with it.
struct Span
{
    std::size_t begin = 0;
    std::size_t end = 0;
};

class TrueTimes
{
public:
    virtual ~TrueTimes() = default;
    [[nodiscard]] virtual int sampleRate() const = 0;
    [[nodiscard]] virtual Spoken speak(const PhonemizedSentence &sentence, const QString &text,
                                       Span span) = 0;
};

// espeak-ng's word markers; a word is tied to the first marker inside it (espeak-ng marks a word
// where its letters begin, past any opening quote).
class EspeakTimes final : public TrueTimes
{
public:
    explicit EspeakTimes(EspeakSynthesizer &espeak) : m_espeak(espeak) {}
    [[nodiscard]] int sampleRate() const override { return m_espeak.sampleRate(); }
    Spoken speak(const PhonemizedSentence &sentence, const QString &text, Span span) override
    {
        std::vector<WordMarker> markers;
        Spoken spoken;
        m_espeak.setWordMarkerSink([&markers](const WordMarker &marker) { markers.push_back(marker); });
        (void)m_espeak.speak(
            text.toStdString(),
            [&spoken](const short *, int count) {
                spoken.samples += std::uint64_t(count);
                return true;
            },
            [](std::size_t) {});
        auto marker = markers.begin();
        for (const PhonemizedClause &clause : sentence.clauses) {
            for (const PhonemizedWord &word : clause.words) {
                const std::size_t start = word.start - span.begin;
                while (marker != markers.end() && marker->start < start)
                    ++marker;
                if (marker != markers.end() && marker->start < start + word.length)
                    spoken.wordStarts.push_back((marker++)->sample);
                else
                    spoken.wordStarts.push_back(std::nullopt);
            }
        }
        return spoken;
    }

private:
    EspeakSynthesizer &m_espeak;
};

// A natural voice's durations of its phoneme ids. A word begins at the first id of its phoneme
// word, which is known only in clauses spoken as the words that were written.
class ModelTimes final : public TrueTimes
{
public:
    ModelTimes(NaturalVoiceConfig config, std::unique_ptr<OnnxVoiceModel> model)
        : m_config(std::move(config)), m_model(std::move(model))
    {}
    [[nodiscard]] int sampleRate() const override { return m_config.sampleRate; }
    Spoken speak(const PhonemizedSentence &sentence, const QString &, Span) override
    {
        const float scales[3] = {m_config.noiseScale, m_config.lengthScale, m_config.noiseWidth};
        const QString phonemes = QString::fromStdString(sentence.phonemes);
        const OnnxVoiceModel::Output output = m_model->run(phonemeIds(m_config, phonemes), scales, 0);
        Spoken spoken{output.audio.size(), {}};
        // The same walk as phonemeIds: the start symbol and a pad, then each known code point an
        // id and a pad. A clause's phoneme words begin after a space.
        std::vector<double> framesBefore{0};
        for (const float frames : output.durations)
            framesBefore.push_back(framesBefore.back() + double(frames));
        const std::size_t idsPerSymbol = 1 + m_config.phonemeIds.value(QStringLiteral("_")).size();
        std::size_t id = m_config.phonemeIds.value(QStringLiteral("^")).size() + idsPerSymbol - 1;
        std::vector<std::vector<std::uint64_t>> clauseWordStarts(1);
        bool wordBegins = true;
        const QList<uint> codePoints = phonemes.normalized(QString::NormalizationForm_D).toUcs4();
        for (qsizetype i = 0; i < codePoints.size(); ++i) {
            const QString symbol = QString::fromUcs4(reinterpret_cast<const char32_t *>(&codePoints[i]), 1);
            if (!m_config.phonemeIds.contains(symbol))
                continue;
            if (symbol == QStringLiteral(" ")) {
                wordBegins = true;
                if (i > 0 && QStringLiteral(",:;").contains(QChar(codePoints[i - 1])))
                    clauseWordStarts.emplace_back();
            } else if (wordBegins && !QStringLiteral(",:;.?!").contains(symbol) && id < framesBefore.size()) {
                clauseWordStarts.back().push_back(std::uint64_t(framesBefore[id] * m_config.hopLength));
                wordBegins = false;
            }
            id += idsPerSymbol;
        }
        const bool clausesFound =
            clauseWordStarts.size() == sentence.clauses.size() && !output.durations.empty();
        for (std::size_t c = 0; c < sentence.clauses.size(); ++c) {
            const std::vector<PhonemizedWord> &words = sentence.clauses[c].words;
            const bool tied = clausesFound && clauseWordStarts[c].size() == words.size();
            for (std::size_t w = 0; w < words.size(); ++w)
                spoken.wordStarts.push_back(tied ? std::optional(clauseWordStarts[c][w]) : std::nullopt);
        }
        return spoken;
    }

private:
    NaturalVoiceConfig m_config;
    std::unique_ptr<OnnxVoiceModel> m_model;
};

// Where a word lies in its sentence, since each place's time comes from a different part of the
// estimate: the lead-in, the pauses, or the words' lengths.
enum class Place
{
    SentenceStart,
    AfterPause,
    WithinClause
};

struct Comparison
{
    Place place;
    double errorMs; // estimated minus true; positive when the estimate is late
    QString word;
};

struct Results
{
    std::vector<Comparison> compared;
    int unmatched = 0;
    int sentences = 0;
};

Results measure(TrueTimes &voice, const QString &text)
{
    const QList<uint> codePoints = text.toUcs4();
    const auto slice = [&codePoints](std::size_t from, std::size_t to) {
        return QString::fromUcs4(reinterpret_cast<const char32_t *>(codePoints.data()) + from,
                                 qsizetype(to - from));
    };
    std::vector<PhonemizedSentence> sentences = EspeakPhonemizer::sentences(text.toStdString());
    std::erase_if(sentences, [](const PhonemizedSentence &sentence) {
        return std::all_of(sentence.clauses.begin(), sentence.clauses.end(),
                           [](const PhonemizedClause &clause) { return clause.words.empty(); });
    });
    const auto firstWord = [](const PhonemizedSentence &sentence) {
        for (const PhonemizedClause &clause : sentence.clauses)
            if (!clause.words.empty())
                return clause.words.front().start;
        return 0u;
    };

    Results results;
    const double msPerSample = 1000.0 / voice.sampleRate();
    for (std::size_t s = 0; s < sentences.size(); ++s) {
        const Span span{firstWord(sentences[s]), s + 1 < sentences.size() ? firstWord(sentences[s + 1])
                                                                          : std::size_t(codePoints.size())};
        const Spoken spoken = voice.speak(sentences[s], slice(span.begin, span.end), span);
        ++results.sentences;
        const std::vector<std::uint64_t> starts = estimatedWordStarts(sentences[s].clauses, spoken.samples);
        std::size_t index = 0;
        for (const PhonemizedClause &clause : sentences[s].clauses) {
            for (std::size_t w = 0; w < clause.words.size(); ++w, ++index) {
                if (!spoken.wordStarts[index]) {
                    ++results.unmatched;
                    continue;
                }
                const Place place = index == 0 ? Place::SentenceStart
                                    : w == 0   ? Place::AfterPause
                                               : Place::WithinClause;
                const PhonemizedWord &word = clause.words[w];
                results.compared.push_back(
                    {place, (double(starts[index]) - double(*spoken.wordStarts[index])) * msPerSample,
                     slice(word.start, word.start + word.length)});
            }
        }
    }
    return results;
}

void printFigures(const char *label, const std::vector<Comparison> &compared, bool (*wanted)(Place))
{
    std::vector<double> absolute;
    double signedSum = 0;
    for (const Comparison &comparison : compared) {
        if (!wanted(comparison.place))
            continue;
        absolute.push_back(std::fabs(comparison.errorMs));
        signedSum += comparison.errorMs;
    }
    if (absolute.empty())
        return;
    std::sort(absolute.begin(), absolute.end());
    const auto percentile = [&absolute](double share) {
        return absolute[std::size_t(std::ceil(share * double(absolute.size()))) - 1];
    };
    std::printf("  %-22s %5zu words   median %6.1f ms   90th percentile %6.1f ms   mean signed %+6.1f ms\n",
                label, absolute.size(), percentile(0.5), percentile(0.9),
                signedSum / double(absolute.size()));
}

std::unique_ptr<TrueTimes> naturalVoice(const QString &modelPath)
{
    QFile file(modelPath + QStringLiteral(".json"));
    const NaturalVoiceConfig::Result read =
        NaturalVoiceConfig::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    if (!read.config || EspeakPhonemizer::initialise() == 0 ||
        !EspeakPhonemizer::selectLanguage(read.config->espeakVoice.toStdString()).empty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(modelPath), qPrintable(read.error));
        return nullptr;
    }
    OnnxVoiceModel::Opened opened =
        OnnxVoiceModel::open(modelPath.toStdString(), 2, read.config->speakerCount > 1);
    if (!opened.model || !opened.model->hasDurations()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(modelPath),
                     opened.model ? "the model gives no durations" : opened.error.c_str());
        return nullptr;
    }
    return std::make_unique<ModelTimes>(*read.config, std::move(opened.model));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const auto option = [&arguments](const QString &name) {
        const qsizetype at = arguments.indexOf(name);
        if (at < 0 || at + 1 >= arguments.size())
            return QString();
        const QString value = arguments.at(at + 1);
        arguments.remove(at, 2);
        return value;
    };
    const int worst = option(QStringLiteral("--worst")).toInt();
    const QString modelPath = option(QStringLiteral("--natural"));
    QString text = ProseGenerator().text(GeneratedWords);
    if (!arguments.isEmpty()) {
        QFile file(arguments.first());
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "Cannot read %s\n", qPrintable(arguments.first()));
            return 1;
        }
        text = QString::fromUtf8(file.readAll());
    }

    EspeakSynthesizer espeak;
    std::unique_ptr<TrueTimes> voice;
    if (!modelPath.isEmpty())
        voice = naturalVoice(modelPath);
    else if (espeak.isAvailable() && espeak.selectVoice("en-us").empty())
        voice = std::make_unique<EspeakTimes>(espeak);
    else
        std::fprintf(stderr, "espeak-ng and its en-us voice are needed\n");
    if (!voice)
        return 1;
    const Results results = measure(*voice, text);

    std::printf("Estimated word starts against %s (%d Hz): %d sentences, %zu words compared, %d unmatched\n",
                modelPath.isEmpty() ? "espeak-ng's own (en-us)" : "the natural voice's own",
                voice->sampleRate(), results.sentences, results.compared.size(), results.unmatched);
    printFigures("all words", results.compared, [](Place) { return true; });
    printFigures("first of a sentence", results.compared, [](Place p) { return p == Place::SentenceStart; });
    printFigures("first after a pause", results.compared, [](Place p) { return p == Place::AfterPause; });
    printFigures("within a clause", results.compared, [](Place p) { return p == Place::WithinClause; });

    std::vector<Comparison> sorted = results.compared;
    std::sort(sorted.begin(), sorted.end(), [](const Comparison &a, const Comparison &b) {
        return std::fabs(a.errorMs) > std::fabs(b.errorMs);
    });
    for (int i = 0; i < worst && i < int(sorted.size()); ++i)
        std::printf("  %+8.1f ms  %s\n", sorted[std::size_t(i)].errorMs,
                    qPrintable(sorted[std::size_t(i)].word));
    return 0;
}
