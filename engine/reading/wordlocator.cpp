#include "engine/reading/wordlocator.h"

#include <QTextBoundaryFinder>

namespace {

// No word runs this far; past it the search stops rather than scan a huge run of letters.
constexpr qsizetype Reach = 200;

bool isBlank(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

} // namespace

WordLocator::WordLocator(QString text) : m_text(std::move(text)), m_positions(m_text)
{}

std::optional<TextRange> WordLocator::locate(qint64 codePoint, qint64 codePointLength) const
{
    const qsizetype start = m_positions.indexOf(codePoint);
    if (start >= m_text.size())
        return std::nullopt;
    const qsizetype end =
        std::max(m_positions.indexOf(codePoint + std::max<qint64>(codePointLength, 1)), start + 1);

    // Segments of a window around the word: no finder over the whole text for every word.
    const qsizetype from = std::max<qsizetype>(0, start - Reach);
    const qsizetype to = std::min(m_text.size(), end + Reach);
    const QStringView window = QStringView(m_text).mid(from, to - from);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, window.data(), int(window.size()));

    finder.setPosition(int(start - from));
    qsizetype segmentStart = finder.isAtBoundary() ? finder.position() : finder.toPreviousBoundary();
    qsizetype segmentEnd = finder.toNextBoundary();
    // On white space: the word just before it, which the engine is still reading.
    while (segmentStart > 0 && isBlank(window.mid(segmentStart, segmentEnd - segmentStart))) {
        segmentEnd = segmentStart;
        finder.setPosition(int(segmentStart));
        segmentStart = finder.toPreviousBoundary();
    }
    if (segmentStart < 0 || isBlank(window.mid(segmentStart, segmentEnd - segmentStart)))
        return std::nullopt;
    // On to the end of the reported word, but never across white space.
    finder.setPosition(int(segmentEnd));
    while (segmentEnd < end - from) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0 || isBlank(window.mid(segmentEnd, next - segmentEnd)))
            break;
        segmentEnd = next;
    }
    return TextRange{from + segmentStart, segmentEnd - segmentStart};
}
