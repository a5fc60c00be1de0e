// Documents added to the speech window's text: by File, Open and by dropping, with progress,
// Cancel and the messages for what cannot be read.
#include "documents/chapterheading.h"
#include "speechwindow/formwav.h"
#include "speechwindow/paragraphinsertion.h"
#include "tests/doubles/testservices.h"
#include "tests/support/filecontents.h"
#include "tests/support/sampledocuments.h"

#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

using namespace std::chrono_literals;

namespace {

// The text box's lines, headings marked with "# ".
[[nodiscard]] QStringList linesOf(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines.append((block.userState() == ChapterHeadingBlockState ? QStringLiteral("# ") : QString()) +
                     block.text());
    return lines;
}

[[nodiscard]] QStringList linesOf(const QString &before, const DocumentParagraphs &paragraphs)
{
    QStringList lines;
    if (!before.isEmpty())
        lines.append(before);
    for (const DocumentParagraph &paragraph : paragraphs)
        lines.append((paragraph.isHeading ? QStringLiteral("# ") : QString()) + paragraph.text);
    return lines;
}

} // namespace

class TestFormWavDocuments final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestServices> m_test;
    std::unique_ptr<FormWav> m_window;
    QTemporaryDir m_folder;

    void open(const QString &path)
    {
        m_test->fileDialogs.answer(path);
        m_window->opn_Click();
    }
    [[nodiscard]] QStringList lines() const { return linesOf(*m_window->Text1->document()); }
    [[nodiscard]] QString epub()
    {
        const QString path = m_folder.filePath(QStringLiteral("book.epub"));
        writeEpub(path, sampleParagraphs());
        return path;
    }
    void drop(QMimeData &data)
    {
        QWidget *viewport = m_window->Text1->viewport();
        const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);
    }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<TestServices>();
        m_window = std::make_unique<FormWav>(m_test->services());
    }
    void cleanup()
    {
        m_window.reset();
        m_test.reset();
    }

    void aDocumentIsAppendedOneLinePerParagraphWithHeadingsMarked_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("into an empty box") << QString();
        QTest::newRow("after typed text") << QStringLiteral("typed");
    }
    void aDocumentIsAppendedOneLinePerParagraphWithHeadingsMarked()
    {
        QFETCH(QString, before);
        m_window->Text1->setPlainText(before);
        open(epub());
        QVERIFY(m_test->messageBox.messages.isEmpty());
        QCOMPARE(lines(), linesOf(before, sampleParagraphs()));
        QVERIFY(!m_window->Text1->isReadOnly());
        QCOMPARE(m_test->progressDialogs.started.size(), 1);
        QVERIFY(m_test->progressDialogs.started.first()->finished);

        m_window->Text1->undo(); // the whole document goes in one step
        QCOMPARE(m_window->Text1->toPlainText(), before);
    }

    void cancellingOrFailingLeavesTheTextUnchanged_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("cancelAt");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled") << "book.epub" << 0.0 << QString();
        QTest::newRow("encrypted PDF") << "locked.pdf" << 2.0 << "is encrypted";
        QTest::newRow("scanned PDF") << "scan.pdf" << 2.0 << "has no text to read";
    }
    void cancellingOrFailingLeavesTheTextUnchanged()
    {
        QFETCH(QString, name);
        QFETCH(double, cancelAt);
        QFETCH(QString, message);
        const QString path = m_folder.filePath(name);
        if (name.endsWith(u".epub"))
            writeEpub(path, sampleParagraphs());
        else if (name == u"locked.pdf")
            writeEncryptedPdf(path);
        else
            writePdfWithoutText(path);
        m_window->Text1->setPlainText(QStringLiteral("kept"));
        m_test->progressDialogs.cancelAtShare = cancelAt;
        open(path);
        QCOMPARE(m_window->Text1->toPlainText(), QStringLiteral("kept"));
        QCOMPARE(m_test->messageBox.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(m_test->messageBox.messages.first().contains(message),
                     qPrintable(m_test->messageBox.messages.first()));
    }

    void anInsertionTakenBackRestoresTheText()
    {
        QTextDocument document(QStringLiteral("x\n"));
        document.lastBlock().setUserState(7);
        ParagraphInsertion insertion(document, sampleParagraphs());
        QVERIFY(!insertion.insertFor(0ms)); // one paragraph at least each time
        QVERIFY(!insertion.insertFor(0ms));
        QCOMPARE(linesOf(document).mid(1, 2), linesOf(QString(), sampleParagraphs().first(2)));
        insertion.undo();
        QCOMPARE(document.toPlainText(), QStringLiteral("x\n"));
        QCOMPARE(document.lastBlock().userState(), 7);
    }

    void droppedFilesAreAddedAndDroppedTextIsInserted()
    {
        const QString text = writeFile(m_folder.filePath(QStringLiteral("notes.txt")), "a\r\nb");
        const QString html = m_folder.filePath(QStringLiteral("page.html"));
        writeHtml(html, sampleParagraphs()); // read on the worker thread like any document
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(text), QUrl::fromLocalFile(html)});
        drop(files);
        QTRY_COMPARE(lines(), QStringList{QStringLiteral(" a b")} + linesOf(QString(), sampleParagraphs()));

        m_window->Text1->clear();
        QMimeData words;
        words.setText(QStringLiteral("dropped words"));
        drop(words);
        QCOMPARE(m_window->Text1->toPlainText(), QStringLiteral("dropped words"));
        QVERIFY(m_test->messageBox.messages.isEmpty());
    }
};

QTEST_MAIN(TestFormWavDocuments)
#include "tst_formwavdocuments.moc"
