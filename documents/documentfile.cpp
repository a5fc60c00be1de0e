#include "documents/documentfile.h"

#include "documents/decodedfiletext.h"
#include "documents/documenterror.h"
#include "documents/documentloadcontrol.h"
#include "documents/docxparagraphs.h"
#include "documents/epubparagraphs.h"
#include "documents/odtparagraphs.h"
#include "documents/pdfparagraphs.h"
#include "documents/richtextparagraphs.h"
#include "documents/textfileforappend.h"
#include "documents/zippackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringConverter>

namespace {

const QStringList DocumentSuffixes{
    QStringLiteral("epub"), QStringLiteral("pdf"), QStringLiteral("docx"), QStringLiteral("odt"),
    QStringLiteral("html"), QStringLiteral("htm"), QStringLiteral("md"),   QStringLiteral("markdown"),
};

// Enough to tell the kinds apart, and to see whether a file is text.
constexpr qint64 HeadBytes = 4096;

[[nodiscard]] QString suffixOf(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

[[nodiscard]] QString quoted(const QString &path)
{
    return u'"' + QDir::toNativeSeparators(path) + u'"';
}

[[nodiscard]] QByteArray headOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(HeadBytes) : QByteArray();
}

// Readers accept a PDF's marker anywhere in its first kilobyte.
[[nodiscard]] bool isPdf(const QByteArray &head)
{
    const qsizetype marker = head.indexOf("%PDF-");
    return marker >= 0 && marker < 1024;
}

[[nodiscard]] bool isZip(const QByteArray &head)
{
    return head.startsWith("PK\x03\x04");
}

[[nodiscard]] DocumentError unknownType(const QString &path)
{
    return DocumentError(
        QStringLiteral("The file %1 is of a type Parlora cannot read. It reads text files, EPUB "
                       "books, PDF, Word (DOCX), OpenDocument (ODT), HTML and Markdown documents.")
            .arg(quoted(path)));
}

[[nodiscard]] QByteArray contentsOf(const QString &path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw DocumentError(
            QStringLiteral("The file %1 cannot be opened: %2.").arg(quoted(path), file.errorString()));
    }
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit) {
        throw DocumentError(QStringLiteral("The file %1 is larger than %2 MiB.")
                                .arg(quoted(path), QString::number(limit / (1024 * 1024))));
    }
    if (file.error() != QFileDevice::NoError)
        throw DocumentError(
            QStringLiteral("The file %1 cannot be read: %2.").arg(quoted(path), file.errorString()));
    return bytes;
}

[[nodiscard]] DocumentParagraphs packageParagraphs(const QString &path, DocumentLoadControl &control)
{
    ZipPackage package(contentsOf(path, ZipPackage::MaximumInflatedBytes), path);
    const QByteArray mediaType = package.contains(QStringLiteral("mimetype"))
                                     ? package.entry(QStringLiteral("mimetype")).trimmed()
                                     : QByteArray();
    if (mediaType == "application/epub+zip" || package.contains(QStringLiteral("META-INF/container.xml")))
        return epubParagraphs(package, control);
    // Text templates and master documents too; spreadsheets and slides are not read.
    if (mediaType.startsWith("application/vnd.oasis.opendocument.text"))
        return odtParagraphs(package, control);
    const QString contentTypes = QStringLiteral("[Content_Types].xml");
    if (package.contains(QStringLiteral("word/document.xml")) ||
        (package.contains(contentTypes) &&
         package.entry(contentTypes).contains("wordprocessingml.document.main")))
        return docxParagraphs(package, control);
    throw unknownType(path);
}

[[nodiscard]] DocumentParagraphs paragraphsOf(const QString &path, DocumentLoadControl &control)
{
    // HTML and Markdown are text, whatever they mention near their start; every other kind
    // is told by its content.
    const QString suffix = suffixOf(path);
    const bool markup = suffix == u"html" || suffix == u"htm" || suffix == u"md" || suffix == u"markdown";
    const QByteArray head = markup ? QByteArray() : headOf(path);
    if (isPdf(head))
        return pdfParagraphs(path, control);
    if (isZip(head))
        return packageParagraphs(path, control);

    if (suffix == u"html" || suffix == u"htm") {
        const QByteArray bytes = contentsOf(path, maximumTextFileBytes);
        QStringDecoder decoder(QStringConverter::encodingForHtml(bytes).value_or(QStringConverter::Utf8));
        return htmlParagraphs(decoder.decode(bytes));
    }
    if (suffix == u"md" || suffix == u"markdown")
        return markdownParagraphs(decodedFileText(contentsOf(path, maximumTextFileBytes)));
    if (suffix == u"pdf" || suffix == u"epub" || suffix == u"docx" || suffix == u"odt") {
        throw DocumentError(
            QStringLiteral("The file %1 is not a %2 document: its content is of another kind.")
                .arg(quoted(path), suffix.toUpper()));
    }
    throw unknownType(path);
}

} // namespace

bool isDocumentFile(const QString &path)
{
    const QString suffix = suffixOf(path);
    if (suffix == u"txt" || suffix == u"log")
        return false;
    if (DocumentSuffixes.contains(suffix))
        return true;
    const QByteArray head = headOf(path);
    return isPdf(head) || isZip(head) || head.contains('\0');
}

QString documentFilePatterns()
{
    QStringList patterns;
    for (const QString &suffix : DocumentSuffixes)
        patterns.append(QStringLiteral("*.") + suffix);
    return patterns.join(u';');
}

DocumentParagraphs readDocument(const QString &path, DocumentLoadControl &control)
{
    control.report(0.0);
    DocumentParagraphs paragraphs = paragraphsOf(path, control);
    if (paragraphs.isEmpty())
        throw DocumentError(QStringLiteral("The file %1 has no text to read.").arg(quoted(path)));
    control.report(1.0);
    return paragraphs;
}
