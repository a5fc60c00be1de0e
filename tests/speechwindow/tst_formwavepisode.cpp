#include "app/speechwindowenclosure.h"
#include "episode/soundfilesettings.h"
#include "speechwindow/formwav.h"
#include "speechwindow/soundfilesettingsdialog.h"
#include "tests/support/realenginewindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The sound file settings in the speech window, and what a save with them hands the feed.
class TestFormWavEpisode : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RealEngineWindow> m_real;
    QTemporaryDir m_folder;

    FormWav &window() const { return m_real->window(); }

    SoundFileSettingsDialog *openSettings()
    {
        QAction *options = nullptr;
        for (QAction *menu : window().menuBar()->actions())
            if (menu->text() == QStringLiteral("&Options"))
                options = menu;
        if (!options || !options->menu() || !options->menu()->actions().contains(window().soundFileSettings))
            return nullptr;
        window().soundFileSettings->trigger();
        return window().findChild<SoundFileSettingsDialog *>();
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QSettings().clear();
        m_real = std::make_unique<RealEngineWindow>();
    }
    void cleanup() { m_real.reset(); }

    void settingsAreOfferedNamedAndRemembered()
    {
        QCOMPARE(window().soundFileSettings->text(), QStringLiteral("So&und file settings..."));
        SoundFileSettingsDialog *dialog = openSettings();
        QVERIFY(dialog);
        QCOMPARE(dialog->settings(), SoundFileSettings()); // nothing remembered yet
        for (QWidget *control : dialog->findChildren<QWidget *>())
            if (control->focusPolicy() != Qt::NoFocus && control->isVisibleTo(dialog))
                QVERIFY2(!control->accessibleName().isEmpty() ||
                             !control->property("text").toString().isEmpty(),
                         control->metaObject()->className());
        dialog->bitrate->setCurrentIndex(dialog->bitrate->findData(128));
        dialog->evenLoudness->setCurrentIndex(2);
        dialog->transcripts->setChecked(true);
        dialog->artist->setText(QStringLiteral("The Reader"));
        m_real->test().fileDialogs.answer(QStringLiteral("/covers/square.png"));
        dialog->chooseCoverImage->click();
        dialog->accept();

        const SoundFileSettings remembered = SoundFileSettings::load();
        QCOMPARE(remembered.mp3Bitrate, 128);
        QCOMPARE(remembered.evenLoudness, SoundFileSettings::EvenLoudness::Off);
        QVERIFY(remembered.transcripts);
        QCOMPARE(remembered.artist, QStringLiteral("The Reader"));
        QCOMPARE(remembered.coverImagePath, QStringLiteral("/covers/square.png"));
        QCOMPARE(openSettings()->settings(), remembered);
    }

    void aSaveNamesItsCompanionsAndTheFeedGetsTheirAddresses()
    {
        SoundFileSettings settings;
        settings.transcripts = true;
        settings.save();
        window().Text1->setPlainText(QStringLiteral("# Start\nA few words.\n# End\nThe last words."));
        const QString path = m_folder.filePath(QStringLiteral("ep 1.mp3"));
        m_real->test().fileDialogs.answer(path, 1);
        window().Label2_Click();
        QCOMPARE(m_real->messages(),
                 QStringList{QStringLiteral("File saved to ") + path +
                             QStringLiteral(", with ep 1.vtt, ep 1.srt and ep 1.chapters.json beside it")});

        const SpeechWindowEnclosure source(&window());
        QVERIFY(source.enclosure()->transcriptVttUrl.isEmpty()); // the placeholder is no address
        window().Text14->setText(QStringLiteral("https://example.org/pod/ep%201.mp3"));
        const Enclosure enclosure = *source.enclosure();
        QCOMPARE(enclosure.transcriptVttUrl, QStringLiteral("https://example.org/pod/ep%201.vtt"));
        QCOMPARE(enclosure.transcriptSrtUrl, QStringLiteral("https://example.org/pod/ep%201.srt"));
        QCOMPARE(enclosure.chaptersUrl, QStringLiteral("https://example.org/pod/ep%201.chapters.json"));
        window().Text3->setText(QStringLiteral("1")); // no longer that file
        QVERIFY(source.enclosure()->chaptersUrl.isEmpty());
    }
};

QTEST_MAIN(TestFormWavEpisode)
#include "tst_formwavepisode.moc"
