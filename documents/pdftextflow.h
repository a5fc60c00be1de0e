#pragma once

#include "documents/documentparagraph.h"

#include <QList>
#include <QRectF>
#include <QString>

// A line of text as a PDF page shows it, and where (in points, y growing downwards).
struct PdfLine
{
    QString text;
    QRectF box;
};

using PdfPageLines = QList<PdfLine>;

// Turns the lines of a PDF's pages into paragraphs. A PDF knows lines, not paragraphs, so this
// guesses from the layout: a wider gap, an indented first line or a short line after a
// sentence ends a paragraph; a line in a larger type is a heading. Lines repeated at the top
// or bottom of nearby pages (running headers and footers) and bare page numbers are dropped,
// and a word hyphenated at a line's end is joined again.
[[nodiscard]] DocumentParagraphs paragraphsOfPages(QList<PdfPageLines> pages);
