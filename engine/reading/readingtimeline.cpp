#include "engine/reading/readingtimeline.h"

#include <algorithm>

void ReadingTimeline::add(qint64 atUSecs, TextRange word)
{
    if (m_finished)
        return;
    if (!m_words.empty()) {
        const Word &last = m_words.back();
        if (word.start <= last.range.start)
            return;
        atUSecs = std::max(atUSecs, last.atUSecs);
    }
    m_words.push_back({atUSecs, word});
}

void ReadingTimeline::discardFrom(qint64 atUSecs)
{
    std::erase_if(m_words, [atUSecs](const Word &word) { return word.atUSecs >= atUSecs; });
}

void ReadingTimeline::finish()
{
    m_finished = true;
    m_clock = nullptr; // it reads an output that is about to go away
}

ReadingTimeline::Now ReadingTimeline::now() const
{
    Now now;
    now.finished = m_finished;
    if (m_finished || !m_clock)
        return now;
    const qint64 played = m_clock();
    const auto next = std::upper_bound(m_words.begin(), m_words.end(), played,
                                       [](qint64 at, const Word &word) { return at < word.atUSecs; });
    if (next != m_words.begin()) {
        now.word = std::prev(next)->range;
        now.wordAtUSecs = std::prev(next)->atUSecs;
    }
    if (next != m_words.end())
        now.usecsToNextWord = next->atUSecs - played;
    return now;
}
