#include "speechwindow/paragraphinsertion.h"

#include "documents/chapterheading.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

ParagraphInsertion::ParagraphInsertion(QTextDocument &document, DocumentParagraphs paragraphs)
    : m_document(document), m_paragraphs(std::move(paragraphs))
{
    const QTextBlock last = document.lastBlock();
    m_start = last.position() + last.length() - 1;
    m_startBlockState = last.userState();
    m_fillsLastLine = last.length() == 1;
}

bool ParagraphInsertion::insertFor(std::chrono::milliseconds budget)
{
    QElapsedTimer timer;
    timer.start();
    QTextCursor cursor(&m_document);
    cursor.movePosition(QTextCursor::End);
    if (m_next == 0)
        cursor.beginEditBlock();
    else
        cursor.joinPreviousEditBlock();
    do {
        if (m_next >= m_paragraphs.size())
            break;
        if (m_next > 0 || !m_fillsLastLine)
            cursor.insertBlock();
        const DocumentParagraph &paragraph = m_paragraphs.at(m_next++);
        cursor.insertText(paragraph.text);
        cursor.block().setUserState(paragraph.isHeading ? ChapterHeadingBlockState : -1);
    } while (timer.elapsed() < budget.count());
    cursor.endEditBlock();
    return m_next >= m_paragraphs.size();
}

double ParagraphInsertion::share() const
{
    return m_paragraphs.isEmpty() ? 1.0 : double(m_next) / double(m_paragraphs.size());
}

void ParagraphInsertion::undo()
{
    if (m_next == 0)
        return;
    QTextCursor cursor(&m_document);
    cursor.setPosition(m_start);
    cursor.joinPreviousEditBlock();
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.block().setUserState(m_startBlockState);
    cursor.endEditBlock();
    m_next = 0;
}
