#include "documents/paragraphcollector.h"

#include <utility>

namespace {

[[nodiscard]] bool isBreakingSpace(QChar c)
{
    // No-break spaces keep their meaning; every other kind of white space is a separator.
    return c.isSpace() && c != QChar::Nbsp && c != u'\u202F';
}

} // namespace

void ParagraphCollector::startBlock(bool heading)
{
    finishParagraph();
    m_blocks.append(heading);
    if (heading)
        ++m_openHeadings;
}

void ParagraphCollector::endBlock()
{
    finishParagraph();
    if (m_blocks.isEmpty())
        return;
    if (m_blocks.takeLast())
        --m_openHeadings;
}

void ParagraphCollector::markBlockAsHeading()
{
    if (m_blocks.isEmpty() || m_blocks.last())
        return;
    m_blocks.last() = true;
    ++m_openHeadings;
}

void ParagraphCollector::addText(QStringView text)
{
    for (const QChar c : text) {
        if (isBreakingSpace(c)) {
            m_spacePending = true;
            continue;
        }
        // Control characters, soft hyphens and the places of pictures are not meant to be read.
        if (c.category() == QChar::Other_Control || c == QChar::SoftHyphen ||
            c == QChar::ObjectReplacementCharacter)
            continue;
        if (m_spacePending && !m_text.isEmpty())
            m_text.append(u' ');
        m_spacePending = false;
        m_text.append(c);
    }
}

void ParagraphCollector::addSpace()
{
    m_spacePending = true;
}

DocumentParagraphs ParagraphCollector::takeParagraphs()
{
    finishParagraph();
    return std::exchange(m_paragraphs, {});
}

void ParagraphCollector::finishParagraph()
{
    m_spacePending = false;
    if (m_text.isEmpty())
        return;
    m_paragraphs.append({std::exchange(m_text, {}), m_openHeadings > 0});
}
