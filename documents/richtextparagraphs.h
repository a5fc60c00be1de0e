#pragma once

#include "documents/documentparagraph.h"

#include <QString>

// HTML and Markdown through Qt's own readers: one paragraph per text block, headings as
// headings. Safe on a worker thread once the application object exists (it owns the fonts).
[[nodiscard]] DocumentParagraphs htmlParagraphs(const QString &html);
[[nodiscard]] DocumentParagraphs markdownParagraphs(const QString &markdown);
