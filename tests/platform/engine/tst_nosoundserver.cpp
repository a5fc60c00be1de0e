#include "helperspeechengine.h"
#include "helpervoice.h"
#include "speecherror.h"

#include <QElapsedTimer>
#include <QTest>

// Run with PULSE_SERVER pointing nowhere: reading must fail with a description, not hang or crash.
class TestNoSoundServer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readingFailsCleanly()
    {
        HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
        HelperVoice voice(engine);
        try {
            voice.Speak(QStringLiteral("Is anybody listening?"), SVSFlagsAsync);
            QFAIL("Speak must fail without an audio output");
        } catch (const SpeechError &error) {
            QVERIFY2(error.description().contains(QStringLiteral("audio output")),
                     qPrintable(error.description()));
        }
        QCOMPARE(voice.Status().RunningState(), int(SRSEDone));
    }

    void voicesAreListedAllTheSame()
    {
        HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
        QVERIFY(!engine.catalog().tokens().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestNoSoundServer)
#include "tst_nosoundserver.moc"
