#include "speechwindow/formwav.h"
#include "speechwindow/parlorainfo.h"
#include "tests/doubles/testservices.h"
#include "tests/support/filecontents.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

// File, Open appends text files to the text box; the information list opens web addresses.
class TestFormWavOpening : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestServices> m_test;
    std::unique_ptr<FormWav> m_window;
    std::unique_ptr<QTemporaryDir> m_folder;

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        return ::writeFile(m_folder->filePath(name), bytes);
    }
    // Opens the file through the menu command, as the user's choice in the dialog.
    void open(const QString &path)
    {
        m_test->fileDialogs.answer(path);
        m_window->opn_Click();
    }
    QString text() const { return m_window->Text1->toPlainText(); }
    QStringList &messages() { return m_test->messageBox.messages; }
    QList<QUrl> &opened() { return m_test->urlOpener.opened; }

    static QUrl website() { return QUrl(ParloraInfo::websiteAddress()); }
    static QUrl support() { return QUrl(ParloraInfo::supportAddress()); }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<TestServices>();
        m_window = std::make_unique<FormWav>(m_test->services());
        m_folder = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        m_window.reset();
        m_test.reset();
        m_folder.reset();
    }

    void linesAreAppendedEachAfterOneSpace_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("after");
        QTest::newRow("two CR LF lines into an empty box") << "" << QByteArray("a\r\nb\r\n") << " a b";
        QTest::newRow("into a box holding text") << "x" << QByteArray("a\r\nb\r\n") << "x a b";
        QTest::newRow("empty file adds nothing") << "x" << QByteArray() << "x";
        QTest::newRow("empty middle line") << "" << QByteArray("a\r\n\r\nb\r\n") << " a  b";
        QTest::newRow("no final end marker") << "" << QByteArray("a\r\nb") << " a b";
        QTest::newRow("LF only") << "" << QByteArray("a\nb\n") << " a b";
        QTest::newRow("CR only") << "" << QByteArray("a\rb\r") << " a b";
        QTest::newRow("mixed endings") << "" << QByteArray("a\r\nb\nc\rd") << " a b c d";
        QTest::newRow("spaces kept") << "" << QByteArray("  a  \r\n") << "   a  ";
        QTest::newRow("byte-order mark dropped") << "" << QByteArray("\xEF\xBB\xBFhello\r\n") << " hello";
        QTest::newRow("UTF-8") << "" << QByteArray("caf\xC3\xA9\n") << QStringLiteral(" caf\u00E9");
        QTest::newRow("Latin-1") << "" << QByteArray("caf\xE9\n") << QStringLiteral(" caf\u00E9");
    }
    void linesAreAppendedEachAfterOneSpace()
    {
        QFETCH(QString, before);
        QFETCH(QByteArray, file);
        QFETCH(QString, after);
        m_window->Text1->setPlainText(before);
        const QString path = writeFile(QStringLiteral("lines.txt"), file);
        open(path);
        QVERIFY(messages().isEmpty());
        QCOMPARE(text(), after);
        QCOMPARE(m_window->Text2->text(), path);
    }

    void loadingTwiceAppendsTwice()
    {
        const QString path = writeFile(QStringLiteral("twice.log"), "a\r\nb\r\n");
        open(path);
        open(path);
        QCOMPARE(text(), QStringLiteral(" a b a b"));
    }

    void theDialogOffersTextFilesDocumentsAndLogFilesAndKeepsTheLastName()
    {
        const QString path = writeFile(QStringLiteral("first.txt"), "a");
        open(path);
        m_window->opn_Click(); // cancelled
        QCOMPARE(m_test->fileDialogs.shown.size(), 2);
        const CommonDialog &first = m_test->fileDialogs.shown.at(0).dialog;
        QVERIFY(!m_test->fileDialogs.shown.at(0).save);
        QCOMPARE(first.Filter,
                 QStringLiteral(
                     "Text file (*.txt)|*.txt|"
                     "Documents (*.epub *.pdf *.docx *.odt *.html *.htm *.md *.markdown)|"
                     "*.epub;*.pdf;*.docx;*.odt;*.html;*.htm;*.md;*.markdown|"
                     "All supported files|*.txt;*.log;*.epub;*.pdf;*.docx;*.odt;*.html;*.htm;*.md;*.markdown|"
                     "Log files (*.log)|*.log"));
        QCOMPARE(first.FilterIndex, 0);
        QVERIFY(first.FileName.isEmpty());
        QCOMPARE(m_test->fileDialogs.shown.at(1).dialog.FileName, path);
    }

    void cancellingAppendsNothingAndSaysNothing_data()
    {
        QTest::addColumn<bool>("loadedBefore");
        QTest::newRow("before any load") << false;
        QTest::newRow("after a load") << true;
    }
    void cancellingAppendsNothingAndSaysNothing()
    {
        QFETCH(bool, loadedBefore);
        if (loadedBefore)
            open(writeFile(QStringLiteral("earlier.txt"), "earlier\r\n"));
        const QString textBefore = text();
        const QString pathBefore = m_window->Text2->text();
        m_test->fileDialogs.cancel();
        m_window->opn_Click();
        QVERIFY(messages().isEmpty());
        QCOMPARE(text(), textBefore);
        QCOMPARE(m_window->Text2->text(), pathBefore);
    }

    void failuresAreShownAndTheTextKept_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("binary file") << "picture.txt" << QByteArray("PNG\0\0data", 9) << "is not a text file";
        QTest::newRow("missing file") << "typed-but-missing.txt" << QByteArray() << "No such file";
        QTest::newRow("a folder") << "." << QByteArray() << "directory";
        QTest::newRow("unreadable") << "/proc/self/mem" << QByteArray() << "cannot be read";
    }
    void failuresAreShownAndTheTextKept()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        const QString path = name.startsWith(u'/') ? name
                             : content.isEmpty()   ? m_folder->filePath(name)
                                                   : writeFile(name, content);
        m_window->Text1->setPlainText(QStringLiteral("my words"));
        open(path);
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().contains(expected), qPrintable(messages().first()));
        QCOMPARE(text(), QStringLiteral("my words"));
        QCOMPARE(m_window->Text2->text(), path);
    }

    void ctrlOOpensTheDialog()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(m_test->fileDialogs.shown.size(), 1);
    }

    void eachLineOpensItsAddress_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QUrl>("address");
        QTest::newRow("software line") << 0 << website();
        QTest::newRow("web-site line") << 1 << website();
        QTest::newRow("company line") << 2 << website();
        QTest::newRow("support line") << 3 << support();
    }
    void eachLineOpensItsAddress()
    {
        QFETCH(int, row);
        QFETCH(QUrl, address);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QListWidget *list = m_window->List1;
        const QRect line = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
        QCOMPARE(opened(), QList<QUrl>{address});
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
        QCOMPARE(opened(), (QList<QUrl>{address, address})); // a second click on the same line
        QVERIFY(QUrl(ParloraInfo::websiteAddress()).isValid());
        QVERIFY(m_window->List1->item(1)->text().endsWith(ParloraInfo::websiteAddress()));
        QVERIFY(m_window->List1->item(3)->text().endsWith(ParloraInfo::supportAddress()));
    }

    void arrowKeysOpenOneAddressPerStep()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QListWidget *list = m_window->List1;
        QCOMPARE(QApplication::focusWidget(), list);
        QVERIFY(opened().isEmpty());       // taking the focus opens nothing
        QTest::keyClick(list, Qt::Key_Up); // pressed first, Up selects the first line
        for (int step = 0; step < 3; ++step)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(opened(), (QList<QUrl>{website(), website(), website(), support()}));
    }

    void noSelectionOpensNothing()
    {
        m_window->List1_Click();
        QVERIFY(opened().isEmpty());
    }
};

QTEST_MAIN(TestFormWavOpening)
#include "tst_formwavopening.moc"
