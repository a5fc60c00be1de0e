#include "engine/helper/modelruns.h"

#include "engine/helper/utf8.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace {

std::size_t codePoints(std::string_view utf8)
{
    return utf8CharacterCount(utf8);
}

// A clause too long for one run, cut between its phoneme words; its written words go with the
// phoneme words they were spoken as, or share out evenly when espeak-ng spoke more or fewer.
void cutClause(std::string_view phonemes, const PhonemizedClause &clause,
               std::vector<PhonemizedSentence> &runs)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (start < phonemes.size()) {
        std::size_t end = start;
        std::size_t lastSpace = std::string_view::npos;
        while (end < phonemes.size() && (codePoints(phonemes.substr(start, end - start)) < MaxRunPhonemes ||
                                         lastSpace == std::string_view::npos)) {
            if (phonemes[end] == ' ')
                lastSpace = end;
            ++end;
        }
        if (end < phonemes.size() && lastSpace != std::string_view::npos)
            end = lastSpace + 1;
        pieces.push_back(phonemes.substr(start, end - start));
        start = end;
    }
    std::vector<std::size_t> wordsPerPiece;
    std::size_t spokenWords = 0;
    for (const std::string_view piece : pieces) {
        const auto count = static_cast<std::size_t>(std::count(piece.begin(), piece.end(), ' ')) + 1;
        wordsPerPiece.push_back(count);
        spokenWords += count;
    }
    std::size_t word = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        PhonemizedSentence run;
        run.phonemes = std::string(pieces[i]);
        PhonemizedClause part{{}, i + 1 == pieces.size() ? clause.terminator : 0};
        const std::size_t until = i + 1 == pieces.size() ? clause.words.size()
                                  : spokenWords == clause.words.size()
                                      ? word + wordsPerPiece[i]
                                      : clause.words.size() * (i + 1) / pieces.size();
        for (; word < until && word < clause.words.size(); ++word)
            part.words.push_back(clause.words[word]);
        run.clauses.push_back(std::move(part));
        run.clauseEnds.push_back(run.phonemes.size());
        runs.push_back(std::move(run));
    }
}

} // namespace

std::vector<PhonemizedSentence> modelRuns(PhonemizedSentence sentence)
{
    if (codePoints(sentence.phonemes) <= MaxRunPhonemes ||
        sentence.clauseEnds.size() != sentence.clauses.size())
        return {std::move(sentence)};
    std::vector<PhonemizedSentence> runs;
    PhonemizedSentence run;
    std::size_t clauseStart = 0;
    for (std::size_t i = 0; i < sentence.clauses.size(); ++i) {
        const std::string_view phonemes =
            std::string_view(sentence.phonemes).substr(clauseStart, sentence.clauseEnds[i] - clauseStart);
        clauseStart = sentence.clauseEnds[i];
        if (!run.phonemes.empty() && codePoints(run.phonemes) + codePoints(phonemes) > MaxRunPhonemes)
            runs.push_back(std::exchange(run, {}));
        if (codePoints(phonemes) > MaxRunPhonemes) {
            cutClause(phonemes, sentence.clauses[i], runs);
            continue;
        }
        run.phonemes += phonemes;
        run.clauses.push_back(std::move(sentence.clauses[i]));
        run.clauseEnds.push_back(run.phonemes.size());
    }
    if (!run.phonemes.empty())
        runs.push_back(std::move(run));
    return runs;
}
