#include "engine/helpervoice.h"
#include "engine/rendertofile.h"
#include "tests/engine/enginetesting.h"
#include "tests/engine/soundfileinfo.h"

#include <QTemporaryDir>
#include <QTest>

// Speed, pitch and volume as both engines render them into a file.
class TestVoiceAdjustment : public QObject
{
    Q_OBJECT

private:
    HelperSpeechEngine m_engine{HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US")};
    QTemporaryDir m_folder;

    SoundFileInfo render(const QString &voiceName, const VoiceAdjustment &adjustment, const QString &text)
    {
        HelperVoice voice(m_engine);
        voice.setVoice(voiceNamed(m_engine, voiceName));
        voice.setAdjustment(adjustment);
        const QString fileName = m_folder.filePath(QStringLiteral("speech.wav"));
        (void)renderToFile(
            voice, {.text = text, .fileName = fileName, .format = SoundFileFormat::Wav, .progress = {}});
        return readSoundFile(fileName);
    }

private Q_SLOTS:
    void speedAndVolumeChangeTheSound_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::newRow("espeak-ng") << QStringLiteral("English (America)");
        QTest::newRow("flite") << QStringLiteral("English (America) - slt");
    }
    void speedAndVolumeChangeTheSound()
    {
        QFETCH(QString, voice);
        const QString text = longText(300);
        const SoundFileInfo plain = render(voice, {}, text);
        const SoundFileInfo fast = render(voice, {200, 100, 100}, text);
        const double share = fast.seconds() / plain.seconds();
        QVERIFY2(share > 0.45 && share < 0.55, qPrintable(QString::number(share)));

        const SoundFileInfo quiet = render(voice, {100, 100, 50}, text);
        const double peakShare = double(quiet.peak) / plain.peak;
        QVERIFY2(peakShare > 0.45 && peakShare < 0.55, qPrintable(QString::number(peakShare)));
        QVERIFY(qAbs(quiet.seconds() - plain.seconds()) < 0.05 * plain.seconds());
    }

    void pitchKeepsTheLengthAndChangesTheSamples_data() { speedAndVolumeChangeTheSound_data(); }
    void pitchKeepsTheLengthAndChangesTheSamples()
    {
        QFETCH(QString, voice);
        const QString text = QStringLiteral("A short sentence to hear the pitch of.");
        const SoundFileInfo plain = render(voice, {}, text);
        const SoundFileInfo low = render(voice, {100, 50, 100}, text);
        QVERIFY(qAbs(low.seconds() - plain.seconds()) < 0.1 * plain.seconds());
        QVERIFY(low.frames != plain.frames || low.peak != plain.peak);
    }
};

QTEST_GUILESS_MAIN(TestVoiceAdjustment)
#include "tst_voiceadjustment.moc"
