#pragma once

#include "documents/documentparagraph.h"

class DocumentLoadControl;
class ZipPackage;

// A Word (DOCX) document's body text: its paragraphs in order, those in heading or title
// styles (or given an outline level) as headings. Headers, footers and notes are left out.
[[nodiscard]] DocumentParagraphs docxParagraphs(ZipPackage &package, DocumentLoadControl &control);
