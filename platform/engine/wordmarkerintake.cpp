#include "platform/engine/wordmarkerintake.h"

WordMarkerIntake::WordMarkerIntake(const QString &text, int sampleRate)
    : m_locator(text), m_sampleRate(std::max(sampleRate, 1))
{}

void WordMarkerIntake::beginPassage(qsizetype textIndex, qint64 firstSample)
{
    m_passageCodePoint = m_locator.positions().codePointOf(textIndex);
    m_passageSample = firstSample;
}

void WordMarkerIntake::take(quint32 start, quint32 length, quint64 sample)
{
    const std::optional<TextRange> word = m_locator.locate(m_passageCodePoint + start, length);
    if (!word)
        return;
    const qint64 atSample = m_passageSample + qint64(sample);
    m_timeline->add(atSample * 1000000 / m_sampleRate, *word);
}
