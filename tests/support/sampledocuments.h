#pragma once

#include "documents/documentparagraph.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// Documents written by the tests themselves, in every format that Parlora reads. Each holds the
// given paragraphs and headings, dressed in what a real one of its kind carries around them
// (navigation documents, styles, notes, scripts), which a reader must leave out.

// Headings, paragraphs, accented Latin, Hebrew and Arabic text.
[[nodiscard]] DocumentParagraphs sampleParagraphs();

using ZipEntries = QList<std::pair<QString, QByteArray>>;
// A zip package; the first entry is stored uncompressed, as EPUB and ODT want their mimetype.
void writeZip(const QString &path, const ZipEntries &entries);

// An ODT package whose content inflates to the given number of zero bytes, from a few hundred
// kilobytes on disk.
void writeZipBomb(const QString &path, qint64 inflatedBytes);

void writeEpub(const QString &path, const DocumentParagraphs &paragraphs);
// Adds, after the paragraphs, a text box with a fallback copy for old readers.
void writeDocx(const QString &path, const DocumentParagraphs &paragraphs);
// The text box's text, which is read once.
[[nodiscard]] DocumentParagraph docxTextBox();
void writeOdt(const QString &path, const DocumentParagraphs &paragraphs);
void writeHtml(const QString &path, const DocumentParagraphs &paragraphs);
void writeMarkdown(const QString &path, const DocumentParagraphs &paragraphs);

// A PDF with a running header and a page number on every page; words that do not fit a line
// are hyphenated, and paragraphs run on over page breaks.
struct PdfLayout
{
    double pageWidthMm = 120;
    double pageHeightMm = 100;
    int resolution = 300;
};
// Gives the number of pages written.
int writePdf(const QString &path, const DocumentParagraphs &paragraphs, const PdfLayout &layout = {});
// A PDF whose only page is a picture: what a scanner makes.
void writePdfWithoutText(const QString &path);
// A PDF encrypted with a user password that is not known.
void writeEncryptedPdf(const QString &path);
