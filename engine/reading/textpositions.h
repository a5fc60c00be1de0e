#pragma once

#include <QList>
#include <QString>

// Converts between positions counted in Unicode code points, as the speech engines count them,
// and QString indexes, where a character beyond the first plane (an emoji) takes two QChars.
// Combining marks are code points of their own in both, so they need nothing.
class TextPositions final
{
public:
    explicit TextPositions(const QString &text);

    // Clamped to the text: a position past its end gives its length.
    [[nodiscard]] qsizetype indexOf(qint64 codePoint) const;
    [[nodiscard]] qint64 codePointOf(qsizetype index) const;

private:
    qsizetype m_length = 0;
    qint64 m_codePoints = 0;
    // The code point position of each surrogate pair, ascending: usually none, so little memory.
    QList<qint64> m_pairs;
};
