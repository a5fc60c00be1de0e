#include "engine/reading/textpositions.h"

#include <algorithm>

TextPositions::TextPositions(const QString &text) : m_length(text.size())
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            m_pairs.append(i - m_pairs.size());
            ++i;
        }
    }
    m_codePoints = m_length - m_pairs.size();
}

qsizetype TextPositions::indexOf(qint64 codePoint) const
{
    codePoint = std::clamp<qint64>(codePoint, 0, m_codePoints);
    // Every pair before the position adds one QChar.
    const auto pairsBefore = std::lower_bound(m_pairs.begin(), m_pairs.end(), codePoint) - m_pairs.begin();
    return qsizetype(codePoint + pairsBefore);
}

qint64 TextPositions::codePointOf(qsizetype index) const
{
    index = std::clamp<qsizetype>(index, 0, m_length);
    // The pair at code point p starts at index p + (pairs before it); count the pairs starting
    // before the index.
    qsizetype low = 0;
    qsizetype high = m_pairs.size();
    while (low < high) {
        const qsizetype middle = (low + high) / 2;
        if (m_pairs.at(middle) + middle < index)
            low = middle + 1;
        else
            high = middle;
    }
    return index - low;
}
