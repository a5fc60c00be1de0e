#pragma once

#include "engine/reading/textrange.h"

#include <functional>
#include <optional>
#include <vector>

// The words of one reading aloud, each with the moment of the reading's audio where it begins,
// and a clock saying how much of that audio the listener has heard. Shared between the voice,
// which adds words as their markers arrive, and whoever follows the reading on screen.
class ReadingTimeline final
{
public:
    // Microseconds of the reading's audio played so far.
    using Clock = std::function<qint64()>;

    struct Now
    {
        std::optional<TextRange> word; // none before the first word is heard
        qint64 wordAtUSecs = -1;       // where in the audio that word begins
        qint64 usecsToNextWord = -1;   // -1 while no later word is known
        bool finished = false;         // the reading is over: nothing more will be heard
    };

    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Words come in reading order; one that does not move forward in the text is dropped.
    void add(qint64 atUSecs, TextRange word);
    // The audio from that moment on is spoken again: its words will come anew.
    void discardFrom(qint64 atUSecs);
    // The reading ended, was stopped or lost its voice.
    void finish();

    [[nodiscard]] Now now() const;
    [[nodiscard]] bool isFinished() const { return m_finished; }

private:
    struct Word
    {
        qint64 atUSecs;
        TextRange range;
    };
    std::vector<Word> m_words;
    Clock m_clock;
    bool m_finished = false;
};
