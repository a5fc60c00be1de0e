#include "speechwindow/formwav.h"
#include "tests/engine/enginetesting.h"
#include "tests/engine/soundfileinfo.h"
#include "tests/speechwindow/selectvoice.h"
#include "tests/support/filecontents.h"
#include "tests/support/realenginewindow.h"
#include "tests/support/scratchmount.h"

#include "feed/soundfilesaddress.h"

#include <QDir>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

namespace {

const QString SaveFilter = QStringLiteral(
    "Wav file (*.wav)|*.wav|MP3 file (*.mp3)|*.mp3|Ogg Vorbis file (*.ogg)|*.ogg|FLAC file (*.flac)|*.flac");

} // namespace

// "Save the created sound file" over the real engine and real files, with scripted dialogs.
class TestFormWavSaving : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RealEngineWindow> m_real;
    std::unique_ptr<QTemporaryDir> m_folder;

    FormWav &window() const { return m_real->window(); }
    QStringList &messages() { return m_real->messages(); }
    ScriptedFileDialogs &dialogs() { return m_real->test().fileDialogs; }
    QString pathOf(const QString &name) const { return m_folder->filePath(name); }

    void fillEnclosureFields(const QString &value)
    {
        for (QLineEdit *field : {window().Text14, window().Text3, window().Text4})
            field->setText(value);
    }
    void verifyEnclosureFields(const QString &value)
    {
        for (QLineEdit *field : {window().Text14, window().Text3, window().Text4})
            QCOMPARE(field->text(), value);
    }

private Q_SLOTS:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true); // settings apart from the user's
        m_real = std::make_unique<RealEngineWindow>();
        m_folder = std::make_unique<QTemporaryDir>();
        window().Text1->setPlainText(QStringLiteral("Welcome to the first episode."));
    }
    void cleanup()
    {
        m_real.reset();
        m_folder.reset();
    }

    void savingWritesTheFileReportsItAndFillsTheFields_data()
    {
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("majorFormat");
        QTest::addColumn<QString>("mediaType");
        QTest::newRow("WAV") << 0 << "episode.wav" << int(SF_FORMAT_WAV) << "audio/wav";
        QTest::newRow("MP3") << 1 << "episode.mp3" << int(SF_FORMAT_MPEG) << "audio/mpeg";
        QTest::newRow("Ogg Vorbis") << 2 << "episode.ogg" << int(SF_FORMAT_OGG) << "audio/ogg";
        QTest::newRow("FLAC") << 3 << "episode.flac" << int(SF_FORMAT_FLAC) << "audio/flac";
        QTest::newRow("WAV named without extension") << 0 << "episode" << int(SF_FORMAT_WAV) << "audio/wav";
        QTest::newRow("MP3 typed, WAV entry") << 0 << "episode.mp3" << int(SF_FORMAT_MPEG) << "audio/mpeg";
    }
    void savingWritesTheFileReportsItAndFillsTheFields()
    {
        QFETCH(int, filterIndex);
        QFETCH(QString, name);
        QFETCH(int, majorFormat);
        QFETCH(QString, mediaType);
        const QString path = pathOf(name);
        window().Text14->setText(QStringLiteral("https://example.org/typed-by-the-user.wav"));
        dialogs().answer(path, filterIndex);

        window().Label2_Click();

        QCOMPARE(messages(), QStringList{QStringLiteral("File saved to ") + path});
        QCOMPARE(entriesOf(m_folder->path()), QStringList{name});
        const SoundFileInfo info = readSoundFile(path);
        QVERIFY(info.readable);
        QCOMPARE(info.format & SF_FORMAT_TYPEMASK, majorFormat);
        QVERIFY(info.seconds() > 1.0);
        QCOMPARE(window().Text14->text(), QStringLiteral("(Actual URL for wav file here)"));
        QCOMPARE(window().Text3->text(), QString::number(QFileInfo(path).size()));
        QCOMPARE(window().Text4->text(), mediaType);
    }

    void theDialogOffersTheFormatsAndThePreviousName()
    {
        dialogs().answer(pathOf(QStringLiteral("first.ogg")), 2);
        window().Label2_Click();
        window().Label2_Click(); // cancelled: no answer scripted
        QCOMPARE(dialogs().shown.size(), 2);
        QVERIFY(dialogs().shown.at(0).save);
        QCOMPARE(dialogs().shown.at(0).dialog.Filter, SaveFilter);
        QVERIFY(dialogs().shown.at(0).dialog.FileName.isEmpty());
        QCOMPARE(dialogs().shown.at(1).dialog.FileName, pathOf(QStringLiteral("first.ogg")));
        QCOMPARE(dialogs().shown.at(1).dialog.FilterIndex, 2);
    }

    void sizeIsPlainDigitsWhateverTheLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        window().Text1->setPlainText(longText(300)); // well over a megabyte of audio
        dialogs().answer(pathOf(QStringLiteral("long.wav")));
        window().Label2_Click();
        QLocale::setDefault(QLocale::c());
        const QString size = window().Text3->text();
        QVERIFY(QFileInfo(pathOf(QStringLiteral("long.wav"))).size() > 1000000);
        QCOMPARE(size, QString::number(QFileInfo(pathOf(QStringLiteral("long.wav"))).size()));
        QVERIFY(std::all_of(size.cbegin(), size.cend(), [](QChar c) { return c.isDigit(); }));
    }

    void anEmptyTextStillSavesAFile()
    {
        window().Text1->clear();
        dialogs().answer(pathOf(QStringLiteral("silence.wav")));
        window().Label2_Click();
        QCOMPARE(messages().size(), 1);
        QVERIFY(readSoundFile(pathOf(QStringLiteral("silence.wav"))).readable);
        QCOMPARE(window().Text3->text(),
                 QString::number(QFileInfo(pathOf(QStringLiteral("silence.wav"))).size()));
    }

    void cancellingChangesNothing_data()
    {
        QTest::addColumn<bool>("savedBefore");
        QTest::newRow("first time") << false;
        QTest::newRow("after an earlier save") << true;
    }
    void cancellingChangesNothing()
    {
        QFETCH(bool, savedBefore);
        const QString path = pathOf(QStringLiteral("earlier.wav"));
        if (savedBefore) {
            dialogs().answer(path);
            window().Label2_Click();
            messages().clear();
        }
        const QByteArray earlier = contentsOf(path);
        fillEnclosureFields(QStringLiteral("typed"));
        window().Text1->setPlainText(QStringLiteral("Different words now."));
        dialogs().cancel();

        window().Label2_Click();

        QVERIFY(messages().isEmpty());
        QCOMPARE(contentsOf(path), earlier);
        verifyEnclosureFields(QStringLiteral("typed"));
        QCOMPARE(m_real->test().progressDialogs.started.size(), savedBefore ? 1 : 0);
    }

    void aVoiceThatIsGoneIsReportedBeforeTheDialog()
    {
        window().List2->currentItem()->setText(QStringLiteral("Uninstalled Voice"));
        fillEnclosureFields(QStringLiteral("typed"));
        window().Label2_Click();
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().contains(QStringLiteral("\"Uninstalled Voice\"")),
                 qPrintable(messages().first()));
        QVERIFY(dialogs().shown.isEmpty());
        verifyEnclosureFields(QStringLiteral("typed"));
    }

    void aCrashCostsOnePassageOfTheFile()
    {
        selectVoice(window(), QStringLiteral("English (America)")); // the text kills espeak-ng, not flite
        const QString around = pathOf(QStringLiteral("around.wav"));
        window().Text1->setPlainText(textAroundTheCrasher());
        dialogs().answer(around);
        window().Label2_Click();
        messages().clear();

        const QString path = pathOf(QStringLiteral("episode.wav"));
        window().Text1->setPlainText(textWithACrasherInTheMiddle());
        dialogs().answer(path);
        window().Label2_Click();

        QCOMPARE(messages(), (QStringList{crasherSkippedMessage(), QStringLiteral("File saved to ") + path}));
        QCOMPARE(contentsOf(path), contentsOf(around)); // the passages before and after, sample for sample
        QCOMPARE(window().Text3->text(), QString::number(QFileInfo(path).size()));
    }

    void aFullDiskIsReportedAndTheEarlierFileKept()
    {
        ScratchMount mount(QStringLiteral("size=256k"));
        QVERIFY2(mount.isMounted(), qPrintable(mount.error()));
        const QString path = mount.filePath(QStringLiteral("episode.wav"));
        dialogs().answer(path);
        window().Label2_Click();
        const QByteArray earlier = contentsOf(path);
        messages().clear();
        fillEnclosureFields(QStringLiteral("typed"));

        window().Text1->setPlainText(longText(2000));
        dialogs().answer(path);
        window().Label2_Click();

        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().contains(QStringLiteral("No space left on device")),
                 qPrintable(messages().first()));
        QCOMPARE(contentsOf(path), earlier);
        QCOMPARE(entriesOf(mount.path()), QStringList{QStringLiteral("episode.wav")});
        verifyEnclosureFields(QStringLiteral("typed"));
    }

    void aLongRenderingShowsItsProgressAndCanBeCancelled()
    {
        const QString path = pathOf(QStringLiteral("long.wav"));
        window().Text1->setPlainText(longText(5000));
        fillEnclosureFields(QStringLiteral("typed"));
        m_real->test().progressDialogs.cancelAtShare = 0.25;
        dialogs().answer(path);

        window().Label2_Click();

        QCOMPARE(m_real->test().progressDialogs.started.size(), 1);
        const auto &progress = *m_real->test().progressDialogs.started.first();
        QCOMPARE(progress.label, QStringLiteral("Rendering speech..."));
        QVERIFY(progress.finished);
        QVERIFY(progress.shares.last() >= 0.25 && progress.shares.last() < 0.9);
        QVERIFY(messages().isEmpty());
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(entriesOf(m_folder->path()).isEmpty());
        verifyEnclosureFields(QStringLiteral("typed"));
    }

    void theSoundFilesAddressGivesPodcastFileUrl()
    {
        setSoundFilesAddress(QStringLiteral("https://example.org/audio/"));
        const auto forget = qScopeGuard([] { setSoundFilesAddress({}); });
        dialogs().answer(pathOf(QStringLiteral("first episode.wav")));
        window().Label2_Click();
        QCOMPARE(window().Text14->text(), QStringLiteral("https://example.org/audio/first%20episode.wav"));
    }
};

QTEST_MAIN(TestFormWavSaving)
#include "tst_formwavsaving.moc"
