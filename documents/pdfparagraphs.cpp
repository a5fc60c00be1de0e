#include "documents/pdfparagraphs.h"

#include "documents/documenterror.h"
#include "documents/documentloadcontrol.h"
#include "documents/pdftextflow.h"

#include <QDir>

#include <poppler-qt6.h>

namespace {

// A page's words, gathered into the lines poppler found them in.
[[nodiscard]] PdfPageLines linesOfPage(const Poppler::Page &page)
{
    PdfPageLines lines;
    bool lineOpen = false;
    for (const std::unique_ptr<Poppler::TextBox> &word : page.textList()) {
        if (!lineOpen)
            lines.append(PdfLine());
        PdfLine &line = lines.last();
        line.text += word->text();
        line.box = line.box.isNull() ? word->boundingBox() : line.box.united(word->boundingBox());
        lineOpen = word->nextWord() != nullptr;
        if (lineOpen && word->hasSpaceAfter())
            line.text += u' ';
    }
    return lines;
}

} // namespace

DocumentParagraphs pdfParagraphs(const QString &path, DocumentLoadControl &control)
{
    const QString name = u'"' + QDir::toNativeSeparators(path) + u'"';
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document)
        throw DocumentError(QStringLiteral("The file %1 is not a readable PDF document.").arg(name));
    if (document->isLocked()) {
        throw DocumentError(
            QStringLiteral("The PDF file %1 is encrypted; Parlora cannot read it without its password.").arg(name));
    }

    const int pageCount = document->numPages();
    QList<PdfPageLines> pages;
    pages.reserve(pageCount);
    bool anyText = false;
    for (int index = 0; index < pageCount; ++index) {
        control.report(double(index) / pageCount);
        const std::unique_ptr<Poppler::Page> page = document->page(index);
        pages.append(page ? linesOfPage(*page) : PdfPageLines());
        anyText = anyText || !pages.last().isEmpty();
    }
    if (!anyText) {
        throw DocumentError(QStringLiteral("The PDF file %1 has no text to read: its pages are probably "
                                           "scanned pictures.")
                                .arg(name));
    }
    return paragraphsOfPages(std::move(pages));
}
