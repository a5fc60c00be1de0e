#include "engine/rendering/timedwords.h"

QList<TimedWord> timedWordsOf(const Passage &passage, qint64 firstFrame,
                              const QList<HelperProtocol::WordMarkerPayload> &markers)
{
    if (markers.isEmpty())
        return {};
    // Markers count code points; the text counts QChars, two for a character past the first plane.
    const QString text = QString::fromUtf8(passage.utf8);
    QList<qsizetype> indexOfCodePoint;
    indexOfCodePoint.reserve(text.size() + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        indexOfCodePoint.append(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            ++i;
    }
    indexOfCodePoint.append(text.size());
    const auto indexOf = [&indexOfCodePoint](quint64 codePoint) {
        return indexOfCodePoint.at(
            qsizetype(std::min<quint64>(codePoint, quint64(indexOfCodePoint.size() - 1))));
    };

    QList<TimedWord> words;
    words.reserve(markers.size());
    for (const auto &marker : markers) {
        const qsizetype start = indexOf(marker.start);
        const qsizetype end = indexOf(quint64(marker.start) + marker.length);
        words.append({passage.start + start, end - start, firstFrame + qint64(marker.sample)});
    }
    return words;
}
