#pragma once

#include "documents/documentparagraph.h"

#include <QString>

class DocumentLoadControl;

// Which files are documents (read into paragraphs) rather than text files (appended as today).
// Text and log files always stay text files; a file named as a document, or whose first bytes
// are a PDF's, a zip package's or not text at all, is a document.
[[nodiscard]] bool isDocumentFile(const QString &path);

// The patterns of the documents offered in the open dialog, "*.epub;*.pdf;...".
[[nodiscard]] QString documentFilePatterns();

// Reads a document into paragraphs, choosing the reader by the file's content and, for HTML
// and Markdown, by its name. Throws DocumentError (the description names the file) when it
// cannot be read or has no text, DocumentLoadCancelled when control was cancelled.
[[nodiscard]] DocumentParagraphs readDocument(const QString &path, DocumentLoadControl &control);
