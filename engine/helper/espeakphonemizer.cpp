#include "engine/helper/espeakphonemizer.h"

#include "engine/helper/utf8.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cctype>
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

// How long a word's phonemes take, counted in phonemes: stress marks take no time, a length
// mark half a phoneme.
double phonemeCount(std::string_view phonemes)
{
    double count = 0;
    for (std::size_t i = 0; i < phonemes.size();) {
        std::size_t length = 1;
        while (i + length < phonemes.size() && isUtf8ContinuationByte(phonemes[i + length]))
            ++length;
        const std::string_view symbol = phonemes.substr(i, length);
        if (symbol == "\xCB\x88" || symbol == "\xCB\x8C") // ˈ ˌ
            ;
        else if (symbol == "\xCB\x90") // ː
            count += 0.5;
        else if (symbol != " ")
            count += 1;
        i += length;
    }
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

// The clause's words where they lie in the text, each given its share of the clause's phonemes:
// its own phoneme word where espeak-ng spoke as many words as were written, else a share by
// length (numbers and abbreviations are spoken as words of their own).
std::vector<PhonemizedWord> wordsOf(std::string_view text, std::size_t clauseStart, std::size_t clauseEnd,
                                    std::string_view phonemes)
{
    std::vector<PhonemizedWord> words;
    std::vector<std::size_t> letters;
    const std::string_view clause = text.substr(clauseStart, clauseEnd - clauseStart);
    for (const std::string_view token : split(clause, isSpace)) {
        std::size_t wordBytes = 0;
        for (const char c : token)
            wordBytes += isWordByte(c) && !isUtf8ContinuationByte(c) ? 1 : 0;
        if (wordBytes == 0)
            continue;
        const auto offset = static_cast<std::size_t>(token.data() - text.data());
        words.push_back({static_cast<std::uint32_t>(utf8CharacterCount(text.substr(0, offset))),
                         static_cast<std::uint32_t>(utf8CharacterCount(token)), 0});
        letters.push_back(wordBytes);
    }
    const std::vector<std::string_view> spoken = split(phonemes, [](char c) { return c == ' '; });
    if (spoken.size() == words.size()) {
        for (std::size_t i = 0; i < words.size(); ++i)
            words[i].phonemes = phonemeCount(spoken[i]);
        return words;
    }
    std::size_t totalLetters = 0;
    for (const std::size_t count : letters)
        totalLetters += count;
    const double total = phonemeCount(phonemes);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i].phonemes = total * double(letters[i]) / double(totalLetters);
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
