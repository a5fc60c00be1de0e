#include "listening/spokentext.h"

#include <algorithm>

void SpokenText::appendReplacement(QStringView spoken, qsizetype writtenStart, qsizetype writtenLength)
{
    m_replacements.append(
        {m_text.size(), m_text.size() + spoken.size(), writtenStart, writtenStart + writtenLength});
    m_text += spoken;
}

TextRange SpokenText::writtenRange(TextRange spoken) const
{
    const qsizetype start = writtenStart(spoken.start);
    return {start, std::max(writtenEnd(spoken.end()), start) - start};
}

qsizetype SpokenText::writtenStart(qsizetype spoken) const
{
    // The last replacement starting at or before the position.
    const auto after =
        std::upper_bound(m_replacements.begin(), m_replacements.end(), spoken,
                         [](qsizetype position, const Replacement &r) { return position < r.spokenStart; });
    if (after == m_replacements.begin())
        return spoken;
    const Replacement &r = *(after - 1);
    return spoken < r.spokenEnd ? r.writtenStart : r.writtenEnd + (spoken - r.spokenEnd);
}

qsizetype SpokenText::writtenEnd(qsizetype spoken) const
{
    // An end takes in the character before it: the last replacement starting before it.
    const auto after =
        std::lower_bound(m_replacements.begin(), m_replacements.end(), spoken,
                         [](const Replacement &r, qsizetype position) { return r.spokenStart < position; });
    if (after == m_replacements.begin())
        return spoken;
    const Replacement &r = *(after - 1);
    return spoken <= r.spokenEnd ? r.writtenEnd : r.writtenEnd + (spoken - r.spokenEnd);
}
