#pragma once

#include "documents/documentparagraph.h"

#include <QString>

class DocumentLoadControl;

// A PDF's text, page by page, in paragraphs (see paragraphsOfPages). Throws DocumentError for
// a file that is not a PDF, an encrypted one, and one with no text at all (scanned pages).
[[nodiscard]] DocumentParagraphs pdfParagraphs(const QString &path, DocumentLoadControl &control);
