#pragma once

#include "documents/documentparagraph.h"

#include <QStringView>

// Gathers the text of a document's block elements into one line per paragraph. Runs of white
// space, line breaks included, become one space, and blocks left empty are dropped. Blocks may
// nest (a list inside a list item, a text box inside a paragraph): text before a nested block
// is a paragraph of its own, and so is text after it.
class ParagraphCollector final
{
public:
    void startBlock(bool heading = false);
    void endBlock();
    // For formats that say a block is a heading only after it has begun (DOCX's paragraph
    // style comes first thing inside the paragraph).
    void markBlockAsHeading();
    void addText(QStringView text);
    // A break inside a paragraph (a tab, a line break) reads as a space.
    void addSpace();

    [[nodiscard]] DocumentParagraphs takeParagraphs();

private:
    void finishParagraph();

    DocumentParagraphs m_paragraphs;
    QString m_text;
    bool m_spacePending = false;
    int m_openHeadings = 0;
    QList<bool> m_blocks; // whether each open block is a heading
};
