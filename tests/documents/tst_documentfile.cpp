// Reading documents into paragraphs, through files the test writes in every format.
#include "documents/documenterror.h"
#include "documents/documentfile.h"
#include "documents/documentloadcontrol.h"
#include "documents/zippackage.h"
#include "tests/support/filecontents.h"
#include "tests/support/sampledocuments.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>

using DocumentWriter = std::function<void(const QString &path)>;
Q_DECLARE_METATYPE(DocumentWriter)

namespace {

[[nodiscard]] QString describe(const DocumentParagraphs &paragraphs)
{
    QStringList lines;
    for (const DocumentParagraph &paragraph : paragraphs)
        lines.append((paragraph.isHeading ? QStringLiteral("# ") : QString()) + paragraph.text);
    return lines.join(u'\n');
}

// The description of the failure that reading the file ends in, or nothing.
[[nodiscard]] QString failureOf(const QString &path)
{
    DocumentLoadControl control;
    try {
        const DocumentParagraphs paragraphs = readDocument(path, control);
        Q_UNUSED(paragraphs)
    } catch (const DocumentError &error) {
        return error.description();
    }
    return {};
}

} // namespace

class TestDocumentFile final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    [[nodiscard]] QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void readsParagraphsAndHeadingsInOrder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<DocumentWriter>("write");
        QTest::addColumn<DocumentParagraphs>("expected");
        const DocumentParagraphs sample = sampleParagraphs();
        QTest::newRow("EPUB") << "book.epub"
                              << DocumentWriter([sample](const QString &p) { writeEpub(p, sample); })
                              << sample;
        QTest::newRow("DOCX") << "letter.docx"
                              << DocumentWriter([sample](const QString &p) { writeDocx(p, sample); })
                              << (sample + DocumentParagraphs{docxTextBox()});
        QTest::newRow("ODT") << "letter.odt"
                             << DocumentWriter([sample](const QString &p) { writeOdt(p, sample); }) << sample;
        QTest::newRow("HTML") << "page.html"
                              << DocumentWriter([sample](const QString &p) { writeHtml(p, sample); })
                              << sample;
        QTest::newRow("Markdown") << "notes.md"
                                  << DocumentWriter([sample](const QString &p) { writeMarkdown(p, sample); })
                                  << sample;
        QTest::newRow("PDF") << "paper.pdf"
                             << DocumentWriter([sample](const QString &p) { writePdf(p, sample); }) << sample;
        QTest::newRow("PDF named otherwise")
            << "paper.dat" << DocumentWriter([sample](const QString &p) { writePdf(p, sample); }) << sample;
    }
    void readsParagraphsAndHeadingsInOrder()
    {
        QFETCH(QString, name);
        QFETCH(DocumentWriter, write);
        QFETCH(DocumentParagraphs, expected);
        write(path(name));
        QVERIFY(isDocumentFile(path(name)));
        DocumentLoadControl control;
        QCOMPARE(describe(readDocument(path(name), control)), describe(expected));
        QCOMPARE(control.share(), 1.0);
    }

    void textAndLogFilesStayTextFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("document");
        QTest::newRow("text") << "a.txt" << QByteArray("plain") << false;
        QTest::newRow("log starting like a PDF") << "a.log" << QByteArray("%PDF-1.4 log line") << false;
        QTest::newRow("text with NUL bytes") << "a.TXT" << QByteArray("a\0b", 3) << false;
        QTest::newRow("other name, text") << "a.csv" << QByteArray("a,b") << false;
        QTest::newRow("other name, binary") << "a.bin"
                                            << QByteArray("\x7F"
                                                          "ELF\0\0",
                                                          6)
                                            << true;
        QTest::newRow("other name, zip") << "a.zip" << QByteArray("PK\x03\x04rest") << true;
        QTest::newRow("document name") << "a.Markdown" << QByteArray("# Title") << true;
    }
    void textAndLogFilesStayTextFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, document);
        QCOMPARE(isDocumentFile(writeFile(path(name), bytes)), document);
    }

    void badInputIsRefusedWithAReason_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<DocumentWriter>("write");
        QTest::addColumn<QString>("reason");
        const auto bytes = [](const QByteArray &content) {
            return DocumentWriter([content](const QString &p) { writeFile(p, content); });
        };
        QTest::newRow("encrypted PDF") << "locked.pdf" << DocumentWriter(writeEncryptedPdf) << "is encrypted";
        QTest::newRow("scanned PDF") << "scan.pdf" << DocumentWriter(writePdfWithoutText)
                                     << "has no text to read";
        QTest::newRow("broken PDF") << "broken.pdf" << bytes("%PDF-1.4\ngarbage") << "not a readable PDF";
        QTest::newRow("broken archive")
            << "broken.epub" << bytes("PK\x03\x04 not really a zip") << "is a broken package";
        QTest::newRow("truncated archive") << "cut.docx" << DocumentWriter([](const QString &p) {
            writeDocx(p, sampleParagraphs());
            writeFile(p, contentsOf(p).first(300));
        }) << "is a broken package";
        QTest::newRow("too many entries") << "many.odt" << DocumentWriter([](const QString &p) {
            ZipEntries entries{{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text"}};
            for (int i = 0; i < ZipPackage::MaximumEntries; ++i)
                entries.append({QString::number(i), QByteArray()});
            writeZip(p, entries);
        }) << "too many for a document";
        QTest::newRow("archive bomb") << "bomb.odt" << DocumentWriter([](const QString &p) {
            writeZipBomb(p, ZipPackage::MaximumInflatedBytes + 1);
        }) << "unpacks to more than 256 MB";
        QTest::newRow("EPUB without a package document")
            << "empty.epub" << DocumentWriter([](const QString &p) {
                   writeZip(p, {{QStringLiteral("mimetype"), "application/epub+zip"}});
               })
            << "not a readable EPUB book";
        QTest::newRow("EPUB without text") << "blank.epub" << DocumentWriter([](const QString &p) {
            writeEpub(p, {{QStringLiteral(" "), false}});
        }) << "has no text to read";
        QTest::newRow("zip of another kind") << "data.zip" << DocumentWriter([](const QString &p) {
            writeZip(p, {{QStringLiteral("readme.txt"), "hello"}});
        }) << "of a type Parlora cannot read";
        QTest::newRow("spreadsheet") << "sheet.xlsx" << DocumentWriter([](const QString &p) {
            writeZip(
                p, {{QStringLiteral("[Content_Types].xml"), "<Types><Override ContentType=\"application/"
                                                            "vnd.openxmlformats-officedocument.spreadsheetml."
                                                            "sheet.main+xml\"/></Types>"},
                    {QStringLiteral("_rels/.rels"), "<Relationships/>"}});
        }) << "of a type Parlora cannot read";
        QTest::newRow("unknown binary") << "program.bin"
                                        << bytes(QByteArray("\x7F"
                                                            "ELF\0\0\0",
                                                            7))
                                        << "of a type Parlora cannot read";
        QTest::newRow("named PDF, holds text")
            << "notes.pdf" << bytes("just words") << "is not a PDF document";
        QTest::newRow("missing file")
            << "absent.md" << DocumentWriter([](const QString &) {}) << "cannot be opened";
    }
    void badInputIsRefusedWithAReason()
    {
        QFETCH(QString, name);
        QFETCH(DocumentWriter, write);
        QFETCH(QString, reason);
        write(path(name));
        const QString failure = failureOf(path(name));
        QVERIFY2(failure.contains(reason), qPrintable(failure));
        QVERIFY2(failure.contains(u'"' + path(name) + u'"'), qPrintable(failure));
    }

    void aCancelledLoadStops()
    {
        writeEpub(path(QStringLiteral("cancelled.epub")), sampleParagraphs());
        DocumentLoadControl control;
        control.cancel();
        QVERIFY_THROWS_EXCEPTION(DocumentLoadCancelled,
                                 (void)readDocument(path(QStringLiteral("cancelled.epub")), control));
    }
};

QTEST_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
