#pragma once

#include "platform/engine/readingtimeline.h"
#include "platform/engine/wordlocator.h"

#include <memory>

// Turns the helper's word markers, which count code points within a passage and samples within
// its audio, into words of the whole text at moments of the whole reading's audio.
class WordMarkerIntake final
{
public:
    WordMarkerIntake(const QString &text, int sampleRate);

    // The next passage: where it starts in the text (a QString index) and at which sample of the
    // reading's audio its own audio starts.
    void beginPassage(qsizetype textIndex, qint64 firstSample);
    void take(quint32 start, quint32 length, quint64 sample);

    [[nodiscard]] const std::shared_ptr<ReadingTimeline> &timeline() const { return m_timeline; }

private:
    WordLocator m_locator;
    int m_sampleRate;
    qint64 m_passageCodePoint = 0;
    qint64 m_passageSample = 0;
    std::shared_ptr<ReadingTimeline> m_timeline = std::make_shared<ReadingTimeline>();
};
