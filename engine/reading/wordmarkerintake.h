#pragma once

#include "engine/reading/readingtimeline.h"
#include "engine/reading/wordlocator.h"

#include <memory>

// Turns the helper's word markers, which count code points within a passage, into words of the
// whole text at moments of the reading's audio.
class WordMarkerIntake final
{
public:
    explicit WordMarkerIntake(const QString &text);

    // A marker of the passage that starts at passageStart (a QString index), with the moment of
    // the reading's audio where the word begins.
    void take(qsizetype passageStart, quint32 start, quint32 length, qint64 atUSecs);

    [[nodiscard]] const std::shared_ptr<ReadingTimeline> &timeline() const { return m_timeline; }

private:
    WordLocator m_locator;
    std::shared_ptr<ReadingTimeline> m_timeline = std::make_shared<ReadingTimeline>();
};
