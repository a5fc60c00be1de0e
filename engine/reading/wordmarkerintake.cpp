#include "engine/reading/wordmarkerintake.h"

WordMarkerIntake::WordMarkerIntake(const QString &text) : m_locator(text)
{}

void WordMarkerIntake::take(qsizetype passageStart, quint32 start, quint32 length, qint64 atUSecs)
{
    const qint64 passageCodePoint = m_locator.positions().codePointOf(passageStart);
    const std::optional<TextRange> word = m_locator.locate(passageCodePoint + start, length);
    if (word)
        m_timeline->add(atUSecs, *word);
}
