#pragma once

#include "documents/documentparagraph.h"

#include <QByteArray>

// The paragraphs and headings (h1 to h6) of an XHTML document, such as an EPUB chapter, in
// document order. Only the body is read; scripts and styles are left out. A document that
// turns out not to be well-formed gives what was read before the fault.
[[nodiscard]] DocumentParagraphs xhtmlParagraphs(const QByteArray &xhtml);
