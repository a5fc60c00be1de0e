#include "engine/helperspeechengine.h"
#include "engine/helpervoice.h"
#include "engine/client/speecherror.h"
#include "speechwindow/formwav.h"
#include "tests/doubles/testservices.h"

#include <QPlainTextEdit>
#include <QPushButton>
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

    void theWindowSaysSoAndKeepsTheText()
    {
        HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
        TestServices test(&engine);
        FormWav window(test.services());
        window.Text1->setPlainText(QStringLiteral("Is anybody listening?"));
        window.Command2_Click();
        QCOMPARE(test.messageBox.messages.size(), 1);
        QVERIFY2(test.messageBox.messages.first().contains(QStringLiteral("audio output")),
                 qPrintable(test.messageBox.messages.first()));
        QCOMPARE(window.Text1->toPlainText(), QStringLiteral("Is anybody listening?"));
        window.Command1_Click();
        QCOMPARE(test.messageBox.messages.last(), QStringLiteral("Not Playing"));
    }

    void voicesAreListedAllTheSame()
    {
        HelperSpeechEngine engine(HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US"));
        QVERIFY(!engine.catalog().tokens().isEmpty());
    }
};

QTEST_MAIN(TestNoSoundServer)
#include "tst_nosoundserver.moc"
