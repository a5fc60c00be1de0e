#include "engine/helper/espeakphonemizer.h"

#include "engine/helper/utf8.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <regex>
#include <string_view>

namespace {

constexpr int IpaPhonemes = 0x02; // espeak_TextToPhonemes' phonememode: IPA in UTF-8

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isWordByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || std::isalnum(byte) != 0;
}

// The punctuation a clause ended in, looking past closing quotes and brackets. espeak-ng 1.51
// does not report it, so it is read from the text the clause was made of.
char32_t terminatorOf(std::string_view clause)
{
    std::size_t end = clause.size();
    while (end > 0) {
        const char c = clause[end - 1];
        if (isSpace(c) || c == '"' || c == '\'' || c == ')' || c == ']')
            --end;
        else if (end >= 3 && clause.substr(end - 3, 3) == "\xE2\x80\x9D") // ”
            end -= 3;
        else
            break;
    }
    if (end >= 3 && clause.substr(end - 3, 3) == "\xE2\x80\xA6") // …
        return 0;
    if (end == 0)
        return 0;
    const char last = clause[end - 1];
    if (last == '.' && end >= 2 && clause[end - 2] == '.')
        return 0; // an ellipsis is no terminator
    switch (last) {
    case '.':
    case '?':
    case '!':
    case ',':
    case ':':
    case ';':
        return static_cast<char32_t>(last);
    default:
        return 0;
    }
}

bool endsSentence(char32_t terminator)
{
    return terminator == U'.' || terminator == U'?' || terminator == U'!';
}

// The code point a UTF-8 sequence begins with.
char32_t firstCodePoint(std::string_view symbol)
{
    const auto byte = [&symbol](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(symbol[i]));
    };
    if (symbol.size() >= 3 && byte(0) >= 0xE0)
        return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    if (symbol.size() >= 2 && byte(0) >= 0xC0)
        return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    return byte(0);
}

bool isVowel(char32_t symbol)
{
    static constexpr std::u32string_view Vowels = U"aeiouyɑɐɒæɔəɚɛɜɝɪɨʉʊʌʏøœɯɤɵᵻɞɘɶ";
    return Vowels.find(symbol) != std::u32string_view::npos;
}

// Stress and length marks, and the other modifier letters and diacritics (ʲ, a nasal tilde): they
// change a phoneme, they are none of their own.
bool isModifier(char32_t symbol)
{
    return (symbol >= 0x02B0 && symbol <= 0x02FF) || (symbol >= 0x0300 && symbol <= 0x036F);
}

// Calls take(symbol) for each phoneme symbol of one phoneme word.
template <typename Take> void forEachSymbol(std::string_view phonemes, Take take)
{
    for (std::size_t i = 0; i < phonemes.size();) {
        std::size_t length = 1;
        while (i + length < phonemes.size() && isUtf8ContinuationByte(phonemes[i + length]))
            ++length;
        take(firstCodePoint(phonemes.substr(i, length)));
        i += length;
    }
}

// How many phonemes a phoneme word has, each counted once.
double symbolCount(std::string_view phonemes)
{
    double count = 0;
    forEachSymbol(phonemes,
                  [&count](char32_t symbol) { count += isModifier(symbol) || symbol == U' ' ? 0 : 1; });
    return count;
}

// How long a word's phonemes take, counted in consonants: a vowel takes longer, more when it
// carries the word's stress; the second vowel of a diphthong is a glide, a tap or glottal stop a
// short consonant; a length mark adds a little, other marks nothing.
double phonemeCount(std::string_view phonemes)
{
    constexpr double Consonant = 1.0;
    constexpr double ShortConsonant = 0.5; // ɾ ʔ
    constexpr double Vowel = 1.3;
    constexpr double PrimaryStress = 1.2;   // more for the vowel after ˈ
    constexpr double SecondaryStress = 0.6; // after ˌ
    constexpr double DiphthongEnd = 0.6;
    constexpr double LengthMark = 0.2;
    double count = 0;
    double stress = 0;
    bool afterVowel = false;
    forEachSymbol(phonemes, [&](char32_t symbol) {
        const bool vowel = isVowel(symbol);
        if (symbol == U'ˈ')
            stress = PrimaryStress;
        else if (symbol == U'ˌ')
            stress = SecondaryStress;
        else if (symbol == U'ː')
            count += LengthMark;
        else if (vowel && afterVowel)
            count += DiphthongEnd;
        else if (vowel) {
            count += Vowel + stress;
            stress = 0;
        } else if (symbol == U'ɾ' || symbol == U'ʔ')
            count += ShortConsonant;
        else if (!isModifier(symbol) && symbol != U' ')
            count += Consonant;
        afterVowel = vowel || (afterVowel && symbol == U'ː');
    });
    return count;
}

std::string nonNull(const char *text)
{
    return text != nullptr ? std::string(text) : std::string();
}

// espeak-ng 1.51 leaves out of its IPA the palatal glide it puts between an "i" and a vowel
// ("p,i:;'Em" becomes "pˌiːˈɛm"); later versions write it as "ʲ", and natural voices were trained
// on those. It is put back at the same "i", counted in both spellings; where they do not count
// alike, the IPA stays as it is.
std::string withPalatalMarks(const std::string &ipa, const std::string &mnemonics)
{
    std::vector<std::size_t> marked; // which "i"s, in order
    std::size_t count = 0;
    for (std::size_t i = 0; i < mnemonics.size(); ++i) {
        if (mnemonics[i] != 'i')
            continue;
        const std::size_t next = i + 1 < mnemonics.size() && mnemonics[i + 1] == ':' ? i + 2 : i + 1;
        if (next < mnemonics.size() && mnemonics[next] == ';')
            marked.push_back(count);
        ++count;
    }
    if (marked.empty() || std::count(ipa.begin(), ipa.end(), 'i') != std::ptrdiff_t(count))
        return ipa;
    constexpr std::string_view Long = "\xCB\x90";   // ː
    constexpr std::string_view Palatal = "\xCA\xB2"; // ʲ
    std::string result;
    std::size_t seen = 0;
    auto wanted = marked.begin();
    for (std::size_t i = 0; i < ipa.size(); ++i) {
        result.push_back(ipa[i]);
        if (ipa[i] != 'i')
            continue;
        if (wanted != marked.end() && *wanted == seen) {
            if (std::string_view(ipa).substr(i + 1, Long.size()) == Long) {
                result += Long;
                i += Long.size();
            }
            if (std::string_view(ipa).substr(i + 1, Palatal.size()) != Palatal)
                result += Palatal;
            ++wanted;
        }
        ++seen;
    }
    return result;
}

// Where a clause really ends. espeak-ng reads a character ahead, so its cursor may stand just
// inside the next clause's first word: that word then begins after the last white space.
std::size_t clauseEnd(std::string_view text, std::ptrdiff_t cursor)
{
    auto end = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(cursor, 0, std::ptrdiff_t(text.size())));
    if (end == 0 || end >= text.size() || isSpace(text[end - 1]) || isSpace(text[end]))
        return end;
    std::size_t wordStart = end;
    while (wordStart > 0 && !isSpace(text[wordStart - 1]))
        --wordStart;
    return wordStart > 0 ? wordStart : end;
}

std::vector<std::string_view> split(std::string_view text, bool (*isSeparator)(char))
{
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSeparator(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !isSeparator(text[i]))
            ++i;
        if (i > start)
            parts.push_back(text.substr(start, i - start));
    }
    return parts;
}

// What a written word's characters say of how it is spoken, from those alone: how many phonemes
// it likely takes (a digit is read as a word or part of one, a symbol such as % or ° as a word of
// its own, capitals alone as "UK" letter by letter), and whether espeak-ng may read it as several
// words: one with digits, symbols or inner punctuation ("1906", "e.g.", "fsf.org").
struct WrittenWord
{
    double expectedPhonemes = 0;
    bool readAsSeveral = false;
};

WrittenWord writtenWord(std::string_view token)
{
    static constexpr std::u32string_view Symbols = U"$%&@#+=/°€£";
    std::u32string text;
    forEachSymbol(token, [&text](char32_t symbol) { text.push_back(symbol); });
    // Beyond ASCII, anything but general punctuation (quotes, dashes) is taken for a letter.
    const auto isLetter = [](char32_t c) {
        return c < 0x80 ? std::isalpha(int(c)) != 0 : !(c >= 0x2000 && c <= 0x206F);
    };
    const auto isDigit = [](char32_t c) { return c >= U'0' && c <= U'9'; };
    // Punctuation around the word is not read; inside it, it may be.
    const std::size_t first =
        text.find_first_of(U"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    const std::size_t last =
        text.find_last_of(U"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    const std::size_t letters = static_cast<std::size_t>(std::count_if(text.begin(), text.end(), isLetter));
    const bool capitals =
        std::none_of(text.begin(), text.end(), [](char32_t c) { return c >= U'a' && c <= U'z'; });
    const bool spelled =
        capitals && letters >= 2 && (letters <= 3 || text.find(U'.') != std::u32string::npos);
    WrittenWord word;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        const bool inside = first != std::u32string::npos && i > first && i < last;
        if (Symbols.find(c) != std::u32string_view::npos ||
            (c == U'-' && i + 1 < text.size() && isDigit(text[i + 1]))) {
            word.expectedPhonemes += 5;
            word.readAsSeveral = true;
        } else if (isDigit(c)) {
            word.expectedPhonemes += 4;
            word.readAsSeveral = true;
        } else if (isLetter(c)) {
            word.expectedPhonemes += spelled && c < 0x80 ? 2.5 : 1;
        } else if (inside && c != U'\'') {
            word.readAsSeveral = true;
        }
    }
    word.expectedPhonemes = std::max(word.expectedPhonemes, 1.0);
    return word;
}

// Each written word's share of the clause's phonemes: written and spoken words are paired in
// order, and of the pairings the one whose lengths best fit the written words' expected lengths
// is taken. A written word may be spoken as several ("1906", "$5"), a plain word seldom is; a few
// short words may be spoken as one ("on the", "of a"). Even where as many words were spoken as
// written, the two can make up for each other.
std::vector<double> alignedPhonemes(const std::vector<WrittenWord> &written,
                                    const std::vector<double> &spokenLengths,
                                    const std::vector<double> &spokenDurations)
{
    constexpr std::size_t MostJoined = 3;
    constexpr std::size_t MostSpoken = 32; // "$1,234,567.89" is 14; the bound keeps long clauses fast
    constexpr double Joined = 0.5;         // for each word spoken together with the one before
    constexpr double ReadAsSeveral = 0.2;  // for each spoken word past the first
    constexpr double PlainSplit = 2.0;     // the same, for a plain word
    const std::size_t writtenCount = written.size();
    const std::size_t spokenCount = spokenLengths.size();
    const auto misfit = [](double expected, double actual) {
        return std::fabs(std::log((actual + 1) / (expected + 1)));
    };
    struct Step
    {
        double cost = std::numeric_limits<double>::infinity();
        std::size_t writtenTaken = 0;
        std::size_t spokenTaken = 0;
    };
    // best[i][j]: the first i written words paired with the first j spoken ones.
    std::vector<std::vector<Step>> best(writtenCount + 1, std::vector<Step>(spokenCount + 1));
    best[0][0].cost = 0;
    for (std::size_t i = 0; i < writtenCount; ++i) {
        for (std::size_t j = 0; j < spokenCount; ++j) {
            if (!std::isfinite(best[i][j].cost))
                continue;
            const auto consider = [&](std::size_t writtenTaken, std::size_t spokenTaken, double cost) {
                Step &next = best[i + writtenTaken][j + spokenTaken];
                if (best[i][j].cost + cost < next.cost)
                    next = {best[i][j].cost + cost, writtenTaken, spokenTaken};
            };
            const double split = written[i].readAsSeveral ? ReadAsSeveral : PlainSplit;
            double actual = 0;
            for (std::size_t taken = 1; taken <= MostSpoken && j + taken <= spokenCount; ++taken) {
                actual += spokenLengths[j + taken - 1];
                consider(1, taken, misfit(written[i].expectedPhonemes, actual) + split * double(taken - 1));
            }
            double expected = written[i].expectedPhonemes;
            for (std::size_t taken = 2; taken <= MostJoined && i + taken <= writtenCount; ++taken) {
                expected += written[i + taken - 1].expectedPhonemes;
                consider(taken, 1, misfit(expected, spokenLengths[j]) + Joined * double(taken - 1));
            }
        }
    }
    std::vector<double> shares(writtenCount, 0.0);
    if (!std::isfinite(best[writtenCount][spokenCount].cost)) {
        // Far fewer words spoken than written: shared by the written words' lengths alone.
        double duration = 0;
        for (const double spoken : spokenDurations)
            duration += spoken;
        double expected = 0;
        for (const WrittenWord &word : written)
            expected += word.expectedPhonemes;
        for (std::size_t k = 0; k < writtenCount; ++k)
            shares[k] = duration * written[k].expectedPhonemes / expected;
        return shares;
    }
    for (std::size_t i = writtenCount, j = spokenCount; i > 0 && j > 0;) {
        const Step step = best[i][j];
        i -= step.writtenTaken;
        j -= step.spokenTaken;
        double duration = 0;
        for (std::size_t k = j; k < j + step.spokenTaken; ++k)
            duration += spokenDurations[k];
        double expected = 0;
        for (std::size_t k = i; k < i + step.writtenTaken; ++k)
            expected += written[k].expectedPhonemes;
        for (std::size_t k = i; k < i + step.writtenTaken; ++k)
            shares[k] = duration * written[k].expectedPhonemes / expected;
    }
    return shares;
}

// The clause's words where they lie in the text, each given its share of the clause's phonemes:
// those of the spoken words paired with it.
std::vector<PhonemizedWord> wordsOf(std::string_view text, std::size_t clauseStart, std::size_t clauseEnd,
                                    std::string_view phonemes)
{
    std::vector<PhonemizedWord> words;
    std::vector<WrittenWord> written;
    const std::string_view clause = text.substr(clauseStart, clauseEnd - clauseStart);
    for (const std::string_view token : split(clause, isSpace)) {
        if (std::none_of(token.begin(), token.end(), isWordByte))
            continue;
        const auto offset = static_cast<std::size_t>(token.data() - text.data());
        words.push_back({static_cast<std::uint32_t>(utf8CharacterCount(text.substr(0, offset))),
                         static_cast<std::uint32_t>(utf8CharacterCount(token)), 0});
        written.push_back(writtenWord(token));
    }
    std::vector<double> lengths;
    std::vector<double> durations;
    for (const std::string_view word : split(phonemes, [](char c) { return c == ' '; })) {
        lengths.push_back(symbolCount(word));
        durations.push_back(phonemeCount(word));
    }
    const std::vector<double> shares = alignedPhonemes(written, lengths, durations);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i].phonemes = shares[i];
    return words;
}

} // namespace

namespace EspeakPhonemizer {

int initialise()
{
    static const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 100, nullptr, espeakINITIALIZE_DONT_EXIT);
    return rate > 0 ? rate : 0;
}

std::string selectLanguage(const std::string &espeakVoice)
{
    if (espeak_SetVoiceByName(espeakVoice.c_str()) != EE_OK)
        return "espeak-ng has no voice \"" + espeakVoice + "\", which this natural voice needs.";
    return {};
}

std::string languageName(const std::string &espeakVoice)
{
    if (espeak_SetVoiceByName(espeakVoice.c_str()) != EE_OK)
        return {};
    const espeak_VOICE *voice = espeak_GetCurrentVoice();
    return voice != nullptr && voice->name != nullptr ? std::string(voice->name) : std::string();
}

std::vector<PhonemizedSentence> sentences(const std::string &utf8Text)
{
    // Marks such as "(fr)" around words espeak-ng takes for another language.
    static const std::regex languageSwitch(R"(\([^)]+\))");
    std::vector<PhonemizedSentence> result;
    PhonemizedSentence sentence;
    // The clauses in espeak-ng's own spelling first, for its palatal glides. Each pass runs to the
    // text's end, which leaves espeak-ng ready for the next: a pass cut short would leave it a
    // character read ahead.
    std::vector<std::string> mnemonicClauses;
    for (const void *cursor = utf8Text.c_str(); cursor != nullptr;)
        mnemonicClauses.push_back(nonNull(espeak_TextToPhonemes(&cursor, espeakCHARS_UTF8, 0)));
    std::size_t clause = 0;
    const void *cursor = utf8Text.c_str();
    std::size_t start = 0;
    while (cursor != nullptr) {
        const std::string mnemonics = clause < mnemonicClauses.size() ? mnemonicClauses[clause] : std::string();
        ++clause;
        const char *phonemes = espeak_TextToPhonemes(&cursor, espeakCHARS_UTF8, IpaPhonemes);
        const std::size_t end = cursor != nullptr ? clauseEnd(utf8Text, static_cast<const char *>(cursor) - utf8Text.c_str())
                                                  : utf8Text.size();
        std::string clausePhonemes = std::regex_replace(withPalatalMarks(nonNull(phonemes), mnemonics),
                                                        languageSwitch, "");
        const char32_t terminator = terminatorOf(std::string_view(utf8Text).substr(start, end - start));
        PhonemizedClause spoken{wordsOf(utf8Text, start, end, clausePhonemes), terminator};
        start = std::max(start, end);
        sentence.phonemes += clausePhonemes;
        if (terminator != 0)
            sentence.phonemes.push_back(static_cast<char>(terminator));
        if (terminator == U',' || terminator == U':' || terminator == U';')
            sentence.phonemes.push_back(' ');
        sentence.clauseEnds.push_back(sentence.phonemes.size());
        sentence.clauses.push_back(std::move(spoken));
        if (endsSentence(terminator)) {
            result.push_back(std::move(sentence));
            sentence = {};
        }
    }
    if (!sentence.phonemes.empty())
        result.push_back(std::move(sentence));
    return result;
}

} // namespace EspeakPhonemizer
