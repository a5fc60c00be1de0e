#include "tests/support/sampledocuments.h"

#include "tests/support/filecontents.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTextStream>

#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

[[noreturn]] void fatal(const QString &what)
{
    qFatal("%s", qPrintable(what));
}

[[nodiscard]] QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// The paragraphs as XHTML body content, headings as h1 (or h2 after the first).
[[nodiscard]] QString xhtmlBlocks(const DocumentParagraphs &paragraphs)
{
    QString body;
    bool firstHeading = true;
    for (const DocumentParagraph &paragraph : paragraphs) {
        const QString tag = paragraph.isHeading ? (firstHeading ? QStringLiteral("h1") : QStringLiteral("h2"))
                                                : QStringLiteral("p");
        if (paragraph.isHeading)
            firstHeading = false;
        const QString dir = paragraph.text.isRightToLeft() ? QStringLiteral(" dir=\"rtl\"") : QString();
        body += QStringLiteral("  <%1%2>%3</%1>\n").arg(tag, dir, escaped(paragraph.text));
    }
    return body;
}

} // namespace

DocumentParagraphs sampleParagraphs()
{
    return {
        {QStringLiteral("Chapter One: \u00C7a commence"), true},
        {QStringLiteral(
             "D\u00E9j\u00E0 vu in a na\u00EFve caf\u00E9, with \u201Cquotes\u201D and an em dash \u2014 "
             "which the reader keeps exactly as it was written down."),
         false},
        {QStringLiteral(
             "\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD. \u05D6\u05D5 \u05E4\u05E1\u05E7\u05D4 "
             "\u05D1\u05E2\u05D1\u05E8\u05D9\u05EA."),
         false},
        {QStringLiteral("Chapter Two"), true},
        {QStringLiteral("\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645."), false},
        {QStringLiteral("The last paragraph is long enough to need several lines, and it holds "
                        "extraordinarily unquestionable words that must be broken."),
         false},
    };
}

void writeZip(const QString &path, const ZipEntries &entries)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr)
        fatal(QStringLiteral("cannot create %1").arg(path));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QByteArray &bytes = entries.at(i).second;
        // libzip reads the data when the archive is closed, from the caller's entries.
        zip_source_t *source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive, entries.at(i).first.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8)
                   : -1;
        if (index < 0)
            fatal(QStringLiteral("cannot add %1 to %2").arg(entries.at(i).first, path));
        if (i == 0)
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(archive) != 0)
        fatal(QStringLiteral("cannot write %1").arg(path));
}

namespace {

// Zero bytes for libzip to deflate, made as it reads them rather than held in memory.
struct Zeros
{
    qint64 size = 0;
    qint64 left = 0;
};

zip_int64_t zeroSource(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto *zeros = static_cast<Zeros *>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        zeros->left = zeros->size;
        return 0;
    case ZIP_SOURCE_READ: {
        const auto count = std::min<qint64>(qint64(length), zeros->left);
        std::memset(data, 0, size_t(count));
        zeros->left -= count;
        return count;
    }
    case ZIP_SOURCE_STAT: {
        auto *stat = static_cast<zip_stat_t *>(data);
        zip_stat_init(stat);
        stat->size = zip_uint64_t(zeros->size);
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        return 0;
    }
}

} // namespace

void writeZipBomb(const QString &path, qint64 inflatedBytes)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    static const QByteArray mimetype = "application/vnd.oasis.opendocument.text";
    Zeros zeros{inflatedBytes, inflatedBytes};
    zip_source_t *type = zip_source_buffer(archive, mimetype.constData(), zip_uint64_t(mimetype.size()), 0);
    zip_source_t *zeroBytes = zip_source_function(archive, zeroSource, &zeros);
    if (archive == nullptr || type == nullptr || zeroBytes == nullptr ||
        zip_file_add(archive, "mimetype", type, 0) < 0)
        fatal(QStringLiteral("cannot create %1").arg(path));
    const zip_int64_t content = zip_file_add(archive, "content.xml", zeroBytes, 0);
    if (content < 0)
        fatal(QStringLiteral("cannot add to %1").arg(path));
    zip_set_file_compression(archive, zip_uint64_t(content), ZIP_CM_DEFLATE, 1);
    if (zip_close(archive) != 0)
        fatal(QStringLiteral("cannot write %1").arg(path));
}

void writeEpub(const QString &path, const DocumentParagraphs &paragraphs)
{
    // A chapter per heading. The manifest lists them backwards, the spine in order after the
    // navigation document; the first chapter's name has a space, percent-encoded in its address.
    QList<DocumentParagraphs> chapters;
    for (const DocumentParagraph &paragraph : paragraphs) {
        if (chapters.isEmpty() || (paragraph.isHeading && !chapters.last().isEmpty()))
            chapters.append(DocumentParagraphs());
        chapters.last().append(paragraph);
    }
    ZipEntries entries{
        {QStringLiteral("mimetype"), "application/epub+zip"},
        {QStringLiteral("META-INF/container.xml"),
         "<?xml version=\"1.0\"?><container version=\"1.0\" "
         "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
         "<rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>"
         "</rootfiles></container>"},
        {QStringLiteral("OEBPS/nav.xhtml"),
         "<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\" "
         "xmlns:epub=\"http://www.idpf.org/2007/ops\"><body><nav epub:type=\"toc\"><ol>"
         "<li><a href=\"text/chapter%201.xhtml\">Contents entry</a></li></ol></nav></body></html>"},
        {QStringLiteral("OEBPS/style.css"), "p { text-indent: 1em }"}};
    QString manifest;
    QString spine = QStringLiteral("<itemref idref=\"nav\"/>");
    for (qsizetype i = 0; i < chapters.size(); ++i) {
        const QString name = QStringLiteral("chapter %1.xhtml").arg(i + 1);
        const QString xhtml =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
                           "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>%1</title>"
                           "<style>p { margin: 0 }</style></head>\n<body><section>\n%2</section>"
                           "<script>var ignored = 1;</script></body></html>\n")
                .arg(QString::number(i + 1), xhtmlBlocks(chapters.at(i)));
        entries.append({QStringLiteral("OEBPS/text/") + name, xhtml.toUtf8()});
        manifest.prepend(
            QStringLiteral("<item id=\"c%1\" href=\"text/%2\" media-type=\"application/xhtml+xml\"/>")
                .arg(QString::number(i), QString(name).replace(u' ', QStringLiteral("%20"))));
        spine += QStringLiteral("<itemref idref=\"c%1\"/>").arg(i);
    }
    const QString opf =
        QStringLiteral("<?xml version=\"1.0\"?>\n<package xmlns=\"http://www.idpf.org/2007/opf\" "
                       "version=\"3.0\"><metadata/><manifest>%1"
                       "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
                       "properties=\"nav\"/><item id=\"css\" href=\"style.css\" media-type=\"text/css\"/>"
                       "</manifest><spine>%2</spine></package>")
            .arg(manifest, spine);
    entries.append({QStringLiteral("OEBPS/content.opf"), opf.toUtf8()});
    writeZip(path, entries);
}

void writeDocx(const QString &path, const DocumentParagraphs &paragraphs)
{
    QString body;
    for (const DocumentParagraph &paragraph : paragraphs) {
        // Headings in a style whose id is translated, found by its built-in name; each text in
        // two runs, the way editors split them.
        const QString style = paragraph.isHeading
                                  ? QStringLiteral("<w:pPr><w:pStyle w:val=\"berschrift1\"/></w:pPr>")
                                  : QString();
        const qsizetype half = paragraph.text.size() / 2;
        body += QStringLiteral("<w:p>%1<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">%2</w:t></w:r>"
                               "<w:r><w:t xml:space=\"preserve\">%3</w:t></w:r></w:p>")
                    .arg(style, escaped(paragraph.text.left(half)), escaped(paragraph.text.mid(half)));
    }
    // A text box drawn with a fallback for old readers: its text must come once.
    body += QStringLiteral(
        "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><w:txbxContent><w:p><w:r>"
        "<w:t>Boxed</w:t></w:r></w:p></w:txbxContent></w:drawing></"
        "mc:Choice><mc:Fallback><w:pict><w:txbxContent>"
        "<w:p><w:r><w:t>Boxed</w:t></w:r></w:p></w:txbxContent></w:pict></mc:Fallback></"
        "mc:AlternateContent></w:r></w:p>");
    const QString document =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                       "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                       "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\"><w:body>%1"
                       "<w:sectPr/></w:body></w:document>")
            .arg(body);
    writeZip(
        path,
        {{QStringLiteral("[Content_Types].xml"),
          "<?xml version=\"1.0\"?><Types "
          "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
          "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
          "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>"},
         {QStringLiteral("_rels/.rels"),
          "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
          "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
          "2006/relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
         {QStringLiteral("word/styles.xml"),
          "<?xml version=\"1.0\"?><w:styles "
          "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/"
          "main\"><w:style w:type=\"paragraph\" w:styleId=\"berschrift1\"><w:name w:val=\"heading 1\"/>"
          "</w:style><w:style w:type=\"paragraph\" w:styleId=\"Standard\"><w:name w:val=\"Normal\"/>"
          "</w:style></w:styles>"},
         {QStringLiteral("word/document.xml"), document.toUtf8()}});
}

DocumentParagraph docxTextBox()
{
    return {QStringLiteral("Boxed"), false};
}

void writeOdt(const QString &path, const DocumentParagraphs &paragraphs)
{
    // A table of contents and a note, which are not read; spaces written as text:s.
    QString body = QStringLiteral("<text:table-of-content><text:index-body><text:p>Contents 1</text:p>"
                                  "</text:index-body></text:table-of-content>");
    bool noted = false;
    for (const DocumentParagraph &paragraph : paragraphs) {
        QString text = escaped(paragraph.text);
        text.replace(QStringLiteral(", "), QStringLiteral(",<text:s/>"));
        if (!paragraph.isHeading && !noted) {
            text += QStringLiteral(
                "<text:note text:note-class=\"footnote\"><text:note-citation>1</text:note-citation>"
                "<text:note-body><text:p>A footnote.</text:p></text:note-body></text:note>");
            noted = true;
        }
        body +=
            paragraph.isHeading
                ? QStringLiteral("<text:h text:outline-level=\"1\">%1</text:h>\n").arg(text)
                : QStringLiteral("<text:p text:style-name=\"Standard\"><text:span>%1</text:span></text:p>\n")
                      .arg(text);
    }
    const QString content =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content "
                       "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                       "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.3\">"
                       "<office:automatic-styles><text:p>not in the body</text:p></office:automatic-styles>"
                       "<office:body><office:text>%1</office:text></office:body></office:document-content>")
            .arg(body);
    writeZip(path, {{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text"},
                    {QStringLiteral("content.xml"), content.toUtf8()},
                    {QStringLiteral("META-INF/manifest.xml"), "<manifest/>"}});
}

void writeHtml(const QString &path, const DocumentParagraphs &paragraphs)
{
    const QString html =
        QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Not read</title>"
                       "<style>body { color: black }</style></head><body>\n%1</body></html>")
            .arg(xhtmlBlocks(paragraphs));
    writeFile(path, html.toUtf8());
}

void writeMarkdown(const QString &path, const DocumentParagraphs &paragraphs)
{
    QString markdown;
    for (const DocumentParagraph &paragraph : paragraphs) {
        if (paragraph.isHeading) {
            markdown += QStringLiteral("# ") + paragraph.text + QStringLiteral("\n\n");
        } else {
            // Long paragraphs wrapped over two source lines, which Markdown joins again.
            QString text = paragraph.text;
            const qsizetype space = text.indexOf(u' ', text.size() / 2);
            if (space > 0)
                text[space] = u'\n';
            markdown += text + QStringLiteral("\n\n");
        }
    }
    writeFile(path, markdown.toUtf8());
}

namespace {

// Lays out paragraphs on PDF pages by hand, so that the tests know what the pages look like.
class PdfPages final
{
public:
    PdfPages(const QString &path, const PdfLayout &layout) : m_writer(path)
    {
        m_writer.setResolution(layout.resolution);
        m_writer.setPageSize(
            QPageSize(QSizeF(layout.pageWidthMm, layout.pageHeightMm), QPageSize::Millimeter));
        m_writer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        m_painter.begin(&m_writer);
        m_area = m_painter.viewport();
        m_body = font(10);
        m_heading = font(16);
        startPage();
    }

    void heading(const QString &text) { place(text, m_heading, 1.0); }
    void paragraph(const QString &text) { place(text, m_body, 0.8); }
    int finish()
    {
        footer();
        m_painter.end();
        return m_pageNumber;
    }

private:
    QFont font(double points) const
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(points);
        return font;
    }

    void startPage()
    {
        ++m_pageNumber;
        m_painter.setFont(font(7));
        m_painter.drawText(QRect(m_area.left(), m_area.top(), m_area.width(), m_area.height()),
                           Qt::AlignTop | Qt::AlignHCenter, QStringLiteral("A Sample Book"));
        m_y = m_area.top() + 3 * QFontMetrics(font(7), &m_writer).height();
    }

    void footer()
    {
        m_painter.setFont(font(7));
        m_painter.drawText(m_area, Qt::AlignBottom | Qt::AlignHCenter, QString::number(m_pageNumber));
    }

    [[nodiscard]] bool fits(const QFontMetrics &metrics) const
    {
        return m_y + metrics.height() <= m_area.bottom() - 3 * QFontMetrics(font(7), &m_writer).height();
    }

    void newLine(const QFontMetrics &metrics)
    {
        m_y += metrics.lineSpacing();
        if (!fits(metrics)) {
            footer();
            m_writer.newPage();
            startPage();
        }
    }

    void drawLine(const QString &line, const QFont &font, bool rightToLeft)
    {
        m_painter.setFont(font);
        const QFontMetrics metrics(font, &m_writer);
        m_painter.drawText(QRect(m_area.left(), m_y, m_area.width(), metrics.height()),
                           (rightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::TextSingleLine, line);
        newLine(metrics);
    }

    // Fills lines word by word; a word of six letters or more that does not fit is hyphenated
    // when at least three of its letters fit.
    void place(const QString &text, const QFont &font, double spaceAfter)
    {
        const QFontMetrics metrics(font, &m_writer);
        const bool rightToLeft = text.isRightToLeft();
        QString line;
        for (QString word : text.split(u' ')) {
            const QString tried = line.isEmpty() ? word : line + u' ' + word;
            if (metrics.horizontalAdvance(tried) <= m_area.width()) {
                line = tried;
                continue;
            }
            if (word.size() >= 6 && !rightToLeft) {
                for (qsizetype keep = word.size() - 3; keep >= 3; --keep) {
                    const QString head = line + u' ' + word.left(keep) + u'-';
                    if (metrics.horizontalAdvance(head) <= m_area.width()) {
                        line = head;
                        word = word.mid(keep);
                        break;
                    }
                }
            }
            drawLine(line, font, rightToLeft);
            line = word;
        }
        if (!line.isEmpty())
            drawLine(line, font, rightToLeft);
        m_y += int(spaceAfter * metrics.lineSpacing());
    }

    QPdfWriter m_writer;
    QPainter m_painter;
    QRect m_area;
    QFont m_body;
    QFont m_heading;
    int m_y = 0;
    int m_pageNumber = 0;
};

} // namespace

int writePdf(const QString &path, const DocumentParagraphs &paragraphs, const PdfLayout &layout)
{
    PdfPages pages(path, layout);
    for (const DocumentParagraph &paragraph : paragraphs) {
        if (paragraph.isHeading)
            pages.heading(paragraph.text);
        else
            pages.paragraph(paragraph.text);
    }
    return pages.finish();
}

void writePdfWithoutText(const QString &path)
{
    QPdfWriter writer(path);
    QPainter painter(&writer);
    QImage scan(200, 100, QImage::Format_RGB32);
    scan.fill(Qt::white);
    QPainter(&scan).fillRect(20, 20, 160, 10, Qt::black);
    painter.drawImage(QRect(0, 0, 2000, 1000), scan);
}

void writeEncryptedPdf(const QString &path)
{
    // The standard security handler with owner and user keys that no empty password opens.
    const QByteArray key(64, 'A');
    const QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>",
        "<< /Filter /Standard /V 1 /R 2 /O <" + key + "> /U <" + key + "> /P -4 >>",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : std::as_const(offsets))
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R /Encrypt 4 0 R /ID [<0123456789ABCDEF0123456789ABCDEF> "
           "<0123456789ABCDEF0123456789ABCDEF>] "
           ">>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    writeFile(path, pdf);
}
