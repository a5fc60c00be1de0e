#pragma once

#include "documents/documentparagraph.h"

class DocumentLoadControl;
class ZipPackage;

// An EPUB book's text: its content documents in spine order, without the navigation
// document. Throws DocumentError when the package does not say where its content is.
[[nodiscard]] DocumentParagraphs epubParagraphs(ZipPackage &package, DocumentLoadControl &control);
