#include "documents/pdfparagraphs.h"

#include "documents/documenterror.h"
#include "documents/documentloadcontrol.h"
#include "documents/pdftextflow.h"

#include <QDir>

#include <algorithm>

#include <poppler-qt6.h>

namespace {

[[nodiscard]] bool isRightToLeftLetter(QChar c)
{
    const QChar::Direction direction = c.direction();
    return direction == QChar::DirR || direction == QChar::DirAL;
}

[[nodiscard]] bool isLeftToRight(QChar c)
{
    return c.direction() == QChar::DirL || c.isDigit();
}

// Poppler gives right-to-left text in the order it is shown, left to right. Turned round, its
// right-to-left letters are in reading order again, and runs of left-to-right words and
// numbers inside it are turned back.
[[nodiscard]] QString inReadingOrder(QString line)
{
    if (std::none_of(line.cbegin(), line.cend(), isRightToLeftLetter))
        return line;
    std::reverse(line.begin(), line.end());
    for (auto run = line.begin(); run != line.end();) {
        run = std::find_if(run, line.end(), isLeftToRight);
        auto end = std::find_if(run, line.end(), isRightToLeftLetter);
        while (end != run && !isLeftToRight(*(end - 1)))
            --end;
        std::reverse(run, end);
        run = end == run ? std::find_if(run, line.end(), isRightToLeftLetter) : end;
    }
    return line;
}

// Arabic letters in the shapes they take inside words, and Latin ligatures, as the letters
// themselves: PDF writers often map their glyphs to these forms.
[[nodiscard]] QString withPlainLetters(const QString &line)
{
    const auto isPresentationForm = [](QChar c) {
        return (c.unicode() >= 0xFB00 && c.unicode() <= 0xFB06) || (c.unicode() >= 0xFB50 && c.unicode() <= 0xFDFF) ||
               (c.unicode() >= 0xFE70 && c.unicode() <= 0xFEFF);
    };
    if (std::none_of(line.cbegin(), line.cend(), isPresentationForm))
        return line;
    QString plain;
    plain.reserve(line.size());
    for (const QChar c : line) {
        if (isPresentationForm(c))
            plain += QString(c).normalized(QString::NormalizationForm_KC);
        else
            plain += c;
    }
    return plain;
}

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
        if (!lineOpen)
            line.text = inReadingOrder(withPlainLetters(line.text));
    }
    return lines;
}

} // namespace

DocumentParagraphs pdfParagraphs(const QString &path, DocumentLoadControl &control)
{
    const QString name = u'"' + QDir::toNativeSeparators(path) + u'"';
    // Poppler reports the faults it works around on the console; the user gets our message.
    Poppler::setDebugErrorFunction([](const QString &, const QVariant &) {}, QVariant());
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
