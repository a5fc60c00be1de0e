#include "documents/pdfparagraphs.h"

#include "documents/documenterror.h"
#include "documents/documentloadcontrol.h"
#include "documents/pdftextflow.h"

#include <QDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <new>
#include <thread>
#include <vector>

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
        return (c.unicode() >= 0xFB00 && c.unicode() <= 0xFB06) ||
               (c.unicode() >= 0xFB50 && c.unicode() <= 0xFDFF) ||
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

// Poppler takes some milliseconds a page to find the text, most of it parsing the page's
// content. Pages are independent, so long documents are read by several threads, each with a
// document object of its own (poppler's objects are not to be shared between threads).
[[nodiscard]] QList<PdfPageLines> linesOfPages(const QString &path, Poppler::Document &document,
                                               DocumentLoadControl &control)
{
    constexpr int PagesPerThreadAtLeast = 32;
    const int pageCount = document.numPages();
    const int threadCount =
        std::clamp(std::min(QThread::idealThreadCount(), pageCount / PagesPerThreadAtLeast), 1, 4);

    QList<PdfPageLines> pages(pageCount);
    PdfPageLines *const results = pages.data(); // each thread writes its own pages
    std::atomic<int> pagesDone{0};
    std::atomic<bool> helperRanOutOfMemory{false};
    const auto readRange = [&](Poppler::Document &from, int first, int last) {
        for (int index = first; index < last && !control.isCancelled(); ++index) {
            if (const std::unique_ptr<Poppler::Page> page = from.page(index))
                results[index] = linesOfPage(*page);
            pagesDone.fetch_add(1, std::memory_order_relaxed);
        }
    };
    const auto rangeStart = [&](int thread) { return int(qint64(pageCount) * thread / threadCount); };
    {
        std::vector<std::jthread> helpers;
        for (int thread = 1; thread < threadCount; ++thread) {
            helpers.emplace_back([&, thread] {
                try {
                    if (const std::unique_ptr<Poppler::Document> own = Poppler::Document::load(path))
                        readRange(*own, rangeStart(thread), rangeStart(thread + 1));
                } catch (const std::bad_alloc &) {
                    helperRanOutOfMemory = true;
                }
            });
        }
        // This thread reads the first range and reports for all; the ranges are about equal,
        // so the helpers are done about when it is. They are joined at the end of the block,
        // also when a cancel ends it early.
        for (int index = 0; index < rangeStart(1); ++index) {
            control.report(double(pagesDone.load(std::memory_order_relaxed)) / pageCount);
            readRange(document, index, index + 1);
        }
    }
    if (helperRanOutOfMemory)
        throw std::bad_alloc();
    control.report(1.0);
    return pages;
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
            QStringLiteral("The PDF file %1 is encrypted; Parlora cannot read it without its password.")
                .arg(name));
    }

    QList<PdfPageLines> pages = linesOfPages(path, *document, control);
    if (std::all_of(pages.cbegin(), pages.cend(),
                    [](const PdfPageLines &lines) { return lines.isEmpty(); })) {
        throw DocumentError(QStringLiteral("The PDF file %1 has no text to read: its pages are probably "
                                           "scanned pictures.")
                                .arg(name));
    }
    return paragraphsOfPages(std::move(pages));
}
