#include "engine/client/passage.h"

#include "engine/helper/textchunks.h"

#include <algorithm>

namespace {

constexpr qsizetype OpeningCharacters = 60;
// A clause that ends this early is too short to stand alone; one that ends later saves little.
constexpr qsizetype ShortestClauseBytes = 12;
constexpr qsizetype LongestClauseBytes = 200;
// Where a sentence is cut when no clause ends early: after a few words.
constexpr qsizetype OpeningWordsBytes = 20;

bool isBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
    });
}

} // namespace

QString Passage::opening() const
{
    const QString text = QString::fromUtf8(utf8).simplified();
    if (text.size() <= OpeningCharacters)
        return text;
    qsizetype end = OpeningCharacters;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end) + QStringLiteral("...");
}

QList<Passage> passagesOf(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QList<Passage> passages;
    int line = 1;
    qsizetype position = 0;
    for (const std::string_view chunk :
         textChunks(std::string_view(utf8.constData(), std::size_t(utf8.size())))) {
        const qsizetype chunkCharacters = QString::fromUtf8(chunk.data(), qsizetype(chunk.size())).size();
        if (!isBlank(chunk)) {
            // Its line is that of its first character, not of the break that may lead it.
            const std::size_t first = chunk.find_first_not_of(" \t\r\n\f\v");
            const int leadingBreaks =
                int(std::count(chunk.begin(), chunk.begin() + std::ptrdiff_t(first), '\n'));
            passages.append({QByteArray(chunk.data(), qsizetype(chunk.size())), line + leadingBreaks,
                             chunkCharacters, position});
        } else if (!passages.isEmpty()) {
            passages.last().characters += chunkCharacters; // so progress still reaches the whole
        }
        line += int(std::count(chunk.begin(), chunk.end(), '\n'));
        position += chunkCharacters;
    }
    return passages;
}

QList<Passage> withShortOpening(QList<Passage> passages, OpeningCut how)
{
    if (passages.isEmpty())
        return passages;
    const Passage first = passages.first();
    const QByteArray &text = first.utf8;
    qsizetype cut = 0;
    for (qsizetype i = ShortestClauseBytes; i + 1 < std::min(text.size(), LongestClauseBytes); ++i) {
        if ((text[i] == ',' || text[i] == ';' || text[i] == ':') && text[i + 1] == ' ') {
            cut = i + 2;
            break;
        }
    }
    if (how == OpeningCut::AtClauseOrWords && (cut == 0 || cut > 2 * OpeningWordsBytes)) {
        const qsizetype space = text.indexOf(' ', OpeningWordsBytes);
        if (space > 0)
            cut = space + 1;
    }
    if (cut == 0 || isBlank(std::string_view(text.constData() + cut, std::size_t(text.size() - cut))))
        return passages;
    Passage head = first;
    Passage rest = first;
    head.utf8 = text.left(cut);
    rest.utf8 = text.mid(cut);
    head.characters = QString::fromUtf8(head.utf8).size();
    rest.characters = first.characters - head.characters;
    rest.start = first.start + head.characters;
    // The line breaks in the head after its first character, which is on the passage's line.
    qsizetype firstCharacter = 0;
    while (firstCharacter < cut && isBlank(std::string_view(text.constData() + firstCharacter, 1)))
        ++firstCharacter;
    rest.line = first.line + int(head.utf8.mid(firstCharacter).count('\n'));
    passages.first() = head;
    passages.insert(1, rest);
    return passages;
}
