#pragma once

#include "documents/documentparagraph.h"

#include <chrono>

class QTextDocument;

// Puts a document's paragraphs at the end of a text, one line each, a little at a time, so
// that the window can go on painting and answering between the pieces. Headings' lines are
// marked with ChapterHeadingBlockState. All the pieces make one step for the user's undo.
class ParagraphInsertion final
{
public:
    ParagraphInsertion(QTextDocument &document, DocumentParagraphs paragraphs);

    // Inserts paragraphs for about the given time (at least one); true once all are in.
    bool insertFor(std::chrono::milliseconds budget);
    [[nodiscard]] double share() const;
    // Takes out what was inserted, leaving the text as it was before.
    void undo();

private:
    QTextDocument &m_document;
    DocumentParagraphs m_paragraphs;
    qsizetype m_next = 0;
    int m_start = 0;
    int m_startBlockState = -1;
    // An empty last line takes the first paragraph; otherwise that starts a line of its own.
    bool m_fillsLastLine = false;
};
