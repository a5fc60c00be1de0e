#include "engine/helper/flitewordmarkers.h"

#include "engine/helper/utf8.h"

#include <flite/flite.h>

#include <cmath>

namespace {

// Words flite cannot pronounce (bytes it has no letters for) have no syllables and no time.
bool isSpoken(const cst_item *word)
{
    return item_daughter(item_as(word, "SylStructure")) != nullptr;
}

} // namespace

void FliteWordMarkers::beginPiece(std::string_view utf8Piece, std::uint32_t codePointsBefore,
                                  std::uint64_t samplesBefore)
{
    m_piece = utf8Piece;
    m_codePointsBefore = codePointsBefore;
    m_samplesBefore = samplesBefore;
}

void FliteWordMarkers::take(const cst_utterance_struct *utterance, int sampleRate)
{
    if (!m_sink || utterance == nullptr)
        return;
    // flite's accessors take non-const pointers but only read here.
    cst_utterance *utt = const_cast<cst_utterance *>(utterance);
    std::size_t searchFrom = 0;
    std::uint32_t searchedCodePoints = 0;
    const cst_item *lastToken = nullptr;
    for (const cst_item *word = relation_head(utt_relation(utt, "Word")); word != nullptr;
         word = item_next(word)) {
        const cst_item *token = item_parent(item_as(word, "Token"));
        // A token read as several words ("123") is marked once, at its first spoken word.
        if (token == nullptr || token == lastToken || !isSpoken(word))
            continue;
        lastToken = token;
        const std::string_view name = item_feat_string(token, "name");
        const std::size_t found = name.empty() ? std::string_view::npos : m_piece.find(name, searchFrom);
        if (found == std::string_view::npos)
            continue;
        searchedCodePoints +=
            static_cast<std::uint32_t>(utf8CharacterCount(m_piece.substr(searchFrom, found - searchFrom)));
        const auto length = static_cast<std::uint32_t>(utf8CharacterCount(name));
        const float seconds = ffeature_float(word, "R:SylStructure.daughter1.daughter1.R:Segment.p.end");
        const auto sample =
            static_cast<std::uint64_t>(std::llround(std::max(0.0f, seconds) * float(sampleRate)));
        m_sink({m_codePointsBefore + searchedCodePoints, length, m_samplesBefore + sample});
        searchFrom = found + name.size();
        searchedCodePoints += length;
    }
}
