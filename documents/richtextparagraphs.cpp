#include "documents/richtextparagraphs.h"

#include "documents/paragraphcollector.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {

[[nodiscard]] DocumentParagraphs blocksOf(const QTextDocument &document)
{
    ParagraphCollector collector;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        collector.startBlock(block.blockFormat().headingLevel() > 0);
        collector.addText(block.text()); // line breaks inside a block are white space there
        collector.endBlock();
    }
    return collector.takeParagraphs();
}

} // namespace

DocumentParagraphs htmlParagraphs(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    return blocksOf(document);
}

DocumentParagraphs markdownParagraphs(const QString &markdown)
{
    QTextDocument document;
    document.setMarkdown(markdown);
    return blocksOf(document);
}
