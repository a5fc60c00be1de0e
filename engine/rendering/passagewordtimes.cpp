#include "engine/rendering/passagewordtimes.h"

void PassageWordTimes::mark(qsizetype passage, const HelperProtocol::WordMarkerPayload &marker)
{
    m_markers[passage].push_back(marker);
}

void PassageWordTimes::drop(qsizetype passage)
{
    m_markers.erase(passage);
}

QList<TimedWord> PassageWordTimes::place(qsizetype passage, const Passage &text, qint64 startFrame)
{
    const auto found = m_markers.find(passage);
    if (found == m_markers.end())
        return {};
    const std::vector<HelperProtocol::WordMarkerPayload> markers = std::move(found->second);
    m_markers.erase(found);

    // Markers count code points; the text counts QChars, two for a character past the first plane.
    const QString passageText = QString::fromUtf8(text.utf8);
    QList<qsizetype> indexOfCodePoint;
    indexOfCodePoint.reserve(passageText.size() + 1);
    for (qsizetype i = 0; i < passageText.size(); ++i) {
        indexOfCodePoint.append(i);
        if (passageText.at(i).isHighSurrogate() && i + 1 < passageText.size())
            ++i;
    }
    indexOfCodePoint.append(passageText.size());
    const auto indexOf = [&indexOfCodePoint](quint64 codePoint) {
        return indexOfCodePoint.at(
            qsizetype(std::min<quint64>(codePoint, quint64(indexOfCodePoint.size() - 1))));
    };

    QList<TimedWord> words;
    words.reserve(qsizetype(markers.size()));
    for (const auto &marker : markers) {
        const qsizetype start = indexOf(marker.start);
        const qsizetype end = indexOf(quint64(marker.start) + marker.length);
        words.append({text.start + start, end - start, startFrame + qint64(marker.sample)});
    }
    return words;
}
