#include "engine/naturalvoices/naturalvoicefolders.h"
#include "speechwindow/optionsmenu.h"
#include "speechwindow/voicedownloaddialog.h"
#include "speechwindow/voicesdialog.h"
#include "tests/support/filecontents.h"
#include "tests/support/localwebserver.h"
#include "tests/support/naturalvoicemaker.h"
#include "tests/support/realenginewindow.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Options, Voices... over the real speech engine, with the user's voices in a folder of the test's
// own: what is added, downloaded or removed there can be chosen in the speech window at once.
class TestVoicesDialog : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_data;
    QTemporaryDir m_configuration;
    QTemporaryDir m_downloads; // where the user keeps voice files
    std::unique_ptr<RealEngineWindow> m_speech;

    VoicesDialog &openVoices()
    {
        m_speech = std::make_unique<RealEngineWindow>();
        m_speech->window().options().voices->trigger();
        VoicesDialog *dialog = m_speech->window().options().voicesDialog();
        if (dialog == nullptr)
            qFatal("Options, Voices... opened no dialog");
        return *dialog;
    }
    bool speechWindowOffers(const QString &voice) const
    {
        return !m_speech->window().List2->findItems(voice, Qt::MatchExactly).isEmpty();
    }
    // The engine serves every test, and lists the voices as they were when it last listed them.
    static bool relisted()
    {
        bool listed = false;
        RealEngineWindow::engine().reloadVoices([&listed] { listed = true; });
        return QTest::qWaitFor([&listed] { return listed; }, 20000);
    }
    static QString userVoice(const QString &name)
    {
        return NaturalVoiceFolders::userFolder() + u"/en_US-"_s + name + u"-x_low.onnx"_s;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_data.isValid() && m_configuration.isValid() && m_downloads.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configuration.path()));
    }

    void cleanup()
    {
        m_speech.reset();
        QVERIFY(QDir(NaturalVoiceFolders::userFolder()).removeRecursively());
        QVERIFY(relisted());
    }

    void everyOptionsCommandHasAnAccessKeyOfItsOwn()
    {
        m_speech = std::make_unique<RealEngineWindow>();
        QSet<QChar> keys;
        for (const QAction *action : m_speech->window().options().menu()->actions()) {
            if (action->isSeparator())
                continue;
            const qsizetype ampersand = action->text().indexOf(u'&');
            QVERIFY2(ampersand >= 0, qPrintable(action->text()));
            const QChar key = action->text().at(ampersand + 1).toLower();
            QVERIFY2(!keys.contains(key), qPrintable(action->text()));
            keys.insert(key);
        }
    }

    void aVoiceThatCannotBeUsedIsRefusedWithTheReason_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("reason");
        QTest::newRow("model without scales")
            << QStringList{u"--no-scales"_s} << u"has no input \"scales\""_s;
        QTest::newRow("text phonemes")
            << QStringList{u"--phoneme-type"_s, u"text"_s} << u"\"text\" phonemes"_s;
    }
    void aVoiceThatCannotBeUsedIsRefusedWithTheReason()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, reason);
        const QString model = makeNaturalVoice(m_downloads.path(), u"refused"_s, options);
        VoicesDialog &voices = openVoices();
        m_speech->test().fileDialogs.answer(model);
        voices.addFiles_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!m_speech->messages().isEmpty(), 20000);
        QVERIFY2(m_speech->messages().first().contains(reason), qPrintable(m_speech->messages().first()));
        QCOMPARE(entriesOf(NaturalVoiceFolders::userFolder()), QStringList());
        QCOMPARE(voices.table->rowCount(), 0);
        QVERIFY(voices.addFiles->isEnabled());
    }

    void anAddedVoiceCanBeChosenAtOnce()
    {
        const QString model = makeNaturalVoice(m_downloads.path(), u"amy"_s);
        VoicesDialog &voices = openVoices();
        QVERIFY(!speechWindowOffers(u"English (America) - amy (natural)"_s));
        m_speech->test().fileDialogs.answer(model + u".json"_s); // either of the two files will do
        voices.addFiles_Click();
        QTRY_COMPARE_WITH_TIMEOUT(voices.table->rowCount(), 1, 20000);
        QCOMPARE(voices.table->item(0, VoicesDialog::NameColumn)->text(), u"amy"_s);
        QCOMPARE(voices.table->item(0, VoicesDialog::LanguageColumn)->text(), u"English (United States)"_s);
        QCOMPARE(voices.table->item(0, VoicesDialog::FolderColumn)->text(),
                 NaturalVoiceFolders::userFolder());
        QCOMPARE(contentsOf(userVoice(u"amy"_s)), contentsOf(model));
        QTRY_VERIFY_WITH_TIMEOUT(speechWindowOffers(u"English (America) - amy (natural)"_s), 20000);
        QVERIFY(m_speech->messages().isEmpty());
    }

    void aVoiceIsRemovedOnlyOnceTheUserSaysYes()
    {
        QVERIFY(QDir().mkpath(NaturalVoiceFolders::userFolder()));
        QVERIFY(!makeNaturalVoice(NaturalVoiceFolders::userFolder(), u"amy"_s).isEmpty());
        QVERIFY(relisted());
        VoicesDialog &voices = openVoices();
        QVERIFY(speechWindowOffers(u"English (America) - amy (natural)"_s));
        m_speech->test().messageBox.confirmations = {false, true};
        voices.remove_Click();
        QVERIFY(QFile::exists(userVoice(u"amy"_s)));
        QCOMPARE(voices.table->rowCount(), 1);
        voices.remove_Click();
        QCOMPARE(m_speech->test().messageBox.questions.size(), 2);
        QVERIFY(m_speech->test().messageBox.questions.first().contains(u"en_US-amy-x_low"_s));
        QCOMPARE(entriesOf(NaturalVoiceFolders::userFolder()), QStringList());
        QCOMPARE(voices.table->rowCount(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!speechWindowOffers(u"English (America) - amy (natural)"_s), 20000);
    }

    void aVoiceDownloadedFromTheListCanBeChosenAtOnce()
    {
        const QString model = makeNaturalVoice(m_downloads.path(), u"bob"_s);
        const auto file = [](const QString &path) {
            const QByteArray bytes = contentsOf(path);
            return "{\"size_bytes\": " + QByteArray::number(bytes.size()) + ", \"md5_digest\": \"" +
                   QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex() + "\"}";
        };
        LocalWebServer server;
        server.serve(
            u"/piper/voices.json"_s,
            "{\"en_US-bob-x_low\": {\"key\": \"en_US-bob-x_low\", \"name\": \"bob\", \"quality\": \"x_low\", "
            "\"language\": {\"code\": \"en_US\", \"name_english\": \"English\", \"country_english\": "
            "\"United States\"}, \"files\": {\"en/bob.onnx\": " +
                file(model) + ", \"en/bob.onnx.json\": " + file(model + u".json"_s) + "}}}");
        server.serve(u"/piper/en/bob.onnx"_s, contentsOf(model));
        server.serve(u"/piper/en/bob.onnx.json"_s, contentsOf(model + u".json"_s));

        VoicesDialog &voices = openVoices();
        voices.download_Click();
        VoiceDownloadDialog *download = voices.downloadDialog();
        QVERIFY(download);
        download->address->setText(server.url(u"/piper/voices.json"_s).toString());
        download->getList_Click();
        QTRY_COMPARE_WITH_TIMEOUT(download->table->rowCount(), 1, 20000);
        QCOMPARE(download->table->item(0, VoiceDownloadDialog::NameColumn)->text(), u"bob"_s);
        download->download_Click();
        QTRY_COMPARE_WITH_TIMEOUT(voices.table->rowCount(), 1, 20000);
        QCOMPARE(contentsOf(NaturalVoiceFolders::userFolder() + u"/bob.onnx"_s), contentsOf(model));
        QTRY_VERIFY_WITH_TIMEOUT(speechWindowOffers(u"English (America) - bob (natural)"_s), 20000);
        QVERIFY(m_speech->messages().isEmpty());
    }
};

QTEST_MAIN(TestVoicesDialog)
#include "tst_voicesdialog.moc"
