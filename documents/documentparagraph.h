#pragma once

#include <QList>
#include <QString>

// One paragraph or heading of a document, as one line of plain text.
struct DocumentParagraph
{
    QString text;
    bool isHeading = false;

    friend bool operator==(const DocumentParagraph &, const DocumentParagraph &) = default;
};

using DocumentParagraphs = QList<DocumentParagraph>;
