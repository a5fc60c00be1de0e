#pragma once

#include "documents/documentparagraph.h"

class DocumentLoadControl;
class ZipPackage;

// An OpenDocument text's body: its paragraphs and headings in order. Notes, comments, tracked
// deletions and generated indexes (a table of contents) are left out.
[[nodiscard]] DocumentParagraphs odtParagraphs(ZipPackage &package, DocumentLoadControl &control);
