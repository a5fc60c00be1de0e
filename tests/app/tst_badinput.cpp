#include "feedwindow/formrss.h"
#include "engine/helpervoice.h"
#include "speechwindow/formwav.h"
#include "tests/engine/enginetesting.h"
#include "tests/engine/soundfileinfo.h"
#include "tests/engine/soundserver.h"
#include "tests/engine/soundtestmain.h"
#include "tests/support/filecontents.h"
#include "tests/support/realenginewindow.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// Odd names, vanishing files and folders, no voices, and a very large text: each with the
// message the user sees and a check that nothing else changed. The cases are listed at the end.
class TestBadInput : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RealEngineWindow> m_real;
    std::unique_ptr<QTemporaryDir> m_folder;
    QStringList m_table;

    FormWav &speech() const { return m_real->window(); }
    QStringList &messages() { return m_real->messages(); }
    QString lastMessage() { return messages().isEmpty() ? QStringLiteral("(none)") : messages().last(); }
    void record(const QString &operation, const QString &checkedUnchanged)
    {
        m_table.append(QStringLiteral("%1 | %2 | %3 | %4")
                           .arg(operation, QString::fromLatin1(QTest::currentDataTag()), lastMessage(),
                                checkedUnchanged));
    }
    QStringList enclosure() const
    {
        return {speech().Text14->text(), speech().Text3->text(), speech().Text4->text()};
    }

    static void addPathRows()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("works");
        QTest::addColumn<QString>("message");
        QTest::newRow("spaces") << "my first episode" << true << "";
        QTest::newRow("quotes") << "it's \"quoted\"" << true << "";
        QTest::newRow("non-ASCII letters") << QStringLiteral("Ünïcödé ñ 日本語 ελληνικά") << true << "";
        QTest::newRow("very long name") << QStringLiteral("n").repeated(300) << false << "too long";
        QTest::newRow("a folder") << "folder" << false << "";
        QTest::newRow("folder that vanished") << "gone/file" << false << "";
    }
    // Makes what a row needs on disk: a folder, or nothing.
    QString pathFor(const QString &name, const QString &extension)
    {
        if (name == QStringLiteral("folder")) {
            QDir(m_folder->path()).mkdir(name);
            return m_folder->filePath(name);
        }
        return m_folder->filePath(name + extension);
    }

private Q_SLOTS:
    void init()
    {
        m_real = std::make_unique<RealEngineWindow>();
        m_folder = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        m_real.reset();
        m_folder.reset();
    }
    void cleanupTestCase()
    {
        qInfo("operation | case | message shown | checked unchanged");
        for (const QString &row : std::as_const(m_table))
            qInfo("%s", qPrintable(row));
    }

    void openingOddPaths_data() { addPathRows(); }
    void openingOddPaths()
    {
        QFETCH(QString, name);
        QFETCH(bool, works);
        QFETCH(QString, message);
        const QString path = pathFor(name, QStringLiteral(".txt"));
        if (works)
            writeFile(path, "first line\nsecond line\n");
        speech().Text1->setPlainText(QStringLiteral("kept"));
        m_real->test().fileDialogs.answer(path);
        speech().opn_Click();
        if (works) {
            QVERIFY(messages().isEmpty());
            QCOMPARE(speech().Text1->toPlainText(), QStringLiteral("kept first line second line"));
        } else {
            QCOMPARE(messages().size(), 1);
            QVERIFY2(messages().first().contains(message), qPrintable(messages().first()));
            QCOMPARE(speech().Text1->toPlainText(), QStringLiteral("kept"));
        }
        record(QStringLiteral("File, Open"), QStringLiteral("text box"));
    }

    void aFileThatVanishesBeforeItIsOpened()
    {
        const QString path = writeFile(m_folder->filePath(QStringLiteral("vanishing.txt")), {});
        m_real->test().fileDialogs.answer(path);
        QVERIFY(QFile::remove(path)); // after the user picked it, before it is read
        speech().Text1->setPlainText(QStringLiteral("kept"));
        speech().opn_Click();
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().contains(QStringLiteral("vanishing.txt")),
                 qPrintable(messages().first()));
        QCOMPARE(speech().Text1->toPlainText(), QStringLiteral("kept"));
        m_table.append(
            QStringLiteral("File, Open | file removed after the dialog | %1 | text box").arg(lastMessage()));
    }

    void savingSoundToOddPaths_data() { addPathRows(); }
    void savingSoundToOddPaths()
    {
        QFETCH(QString, name);
        QFETCH(bool, works);
        QFETCH(QString, message);
        const QString path = pathFor(name, QStringLiteral(".wav"));
        const QStringList entriesBefore = entriesOf(m_folder->path());
        speech().Text1->setPlainText(QStringLiteral("A short episode."));
        for (QLineEdit *field : {speech().Text14, speech().Text3, speech().Text4})
            field->setText(QStringLiteral("typed"));
        m_real->test().fileDialogs.answer(path);
        speech().Label2_Click();
        QCOMPARE(messages().size(), 1);
        if (works) {
            QCOMPARE(messages().first(), QStringLiteral("File saved to ") + path);
            QVERIFY(readSoundFile(path).readable);
            QCOMPARE(speech().Text3->text(), QString::number(QFileInfo(path).size()));
        } else {
            QVERIFY2(messages().first().contains(message), qPrintable(messages().first()));
            QCOMPARE(enclosure(), QStringList(3, QStringLiteral("typed")));
            QCOMPARE(entriesOf(m_folder->path()), entriesBefore);
        }
        record(QStringLiteral("Save the created sound file"), QStringLiteral("enclosure fields, folder"));
    }

    void savingTheFeedToOddPaths_data() { addPathRows(); }
    void savingTheFeedToOddPaths()
    {
        QFETCH(QString, name);
        QFETCH(bool, works);
        QFETCH(QString, message);
        const QString path = pathFor(name, QStringLiteral(".xml"));
        const QStringList entriesBefore = entriesOf(m_folder->path());
        FormRss feed(m_real->test().services());
        for (QLineEdit *field : {feed.Text1, feed.Text12, feed.Text3})
            field->setText(QStringLiteral("value"));
        feed.Text2->setPlainText(QStringLiteral("description"));
        m_real->test().fileDialogs.answer(path);
        feed.Command1_Click();
        if (works) {
            QVERIFY(messages().isEmpty());
            QVERIFY(QFileInfo(path).size() > 233);
        } else {
            QCOMPARE(messages().size(), 1);
            QVERIFY2(messages().first().contains(message), qPrintable(messages().first()));
            QCOMPARE(entriesOf(m_folder->path()), entriesBefore);
        }
        record(QStringLiteral("Save Rss"), QStringLiteral("folder"));
    }

    void noVoicesInstalled()
    {
        HelperSpeechEngine broken(QStringLiteral("/nonexistent/parlora-speech-helper"));
        TestServices test(&broken);
        FormWav window(test.services());
        QCOMPARE(window.List2->count(), 0);
        window.Text1->setPlainText(QStringLiteral("Hello"));
        window.Command2_Click();
        window.Label2_Click();
        window.Command1_Click();
        QCOMPARE(test.messageBox.messages.size(), 3);
        QVERIFY(test.messageBox.messages.at(0).contains(QStringLiteral("No speech voice is installed")));
        QVERIFY(test.messageBox.messages.at(1).contains(QStringLiteral("No speech voice is installed")));
        QCOMPARE(test.messageBox.messages.at(2), QStringLiteral("Not Playing"));
        QVERIFY(test.fileDialogs.shown.isEmpty());
        QCOMPARE(window.Text1->toPlainText(), QStringLiteral("Hello"));
        m_table.append(
            QStringLiteral("Read text, Save, Pause | no voices (no helper) | %1 | text box, no dialog")
                .arg(test.messageBox.messages.first()));
    }

    void aTenMegabyteTextIsReadAndPaused()
    {
        if (!soundServerReachable())
            QFAIL("no sound server: run through the test command");
        QString text;
        const QString paragraph = longText(120) + u'\n';
        while (text.size() < 10 * 1024 * 1024)
            text += paragraph;
        speech().Text1->setPlainText(text);
        speech().Command2_Click();
        QVERIFY2(messages().isEmpty(), qPrintable(lastMessage()));
        auto *voice = dynamic_cast<HelperVoice *>(speech().windowVoice());
        QTRY_VERIFY_WITH_TIMEOUT(voice->playedUSecs() > 200000, 15000);
        speech().Command1_Click();
        QCOMPARE(speech().Command1->text(), QStringLiteral("Resume"));
        QTRY_VERIFY_WITH_TIMEOUT(!sinkInputs().isEmpty() && sinkInputs().first().corked, 5000);
        QCOMPARE(speech().Text1->toPlainText().size(), text.size());
        m_table.append(
            QStringLiteral("Read text, Pause | 10 MB of text | (none) | text box; reading paused"));
    }
};

PARLORA_SOUND_TEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
