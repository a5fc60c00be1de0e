#include "engine/helperspeechengine.h"
#include "engine/helpervoice.h"
#include "engine/client/speecherror.h"
#include "engine/reading/audiooutput.h"
#include "tests/engine/enginetesting.h"
#include "tests/engine/soundserver.h"
#include "tests/engine/soundtestmain.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <optional>

// Reading aloud against a real sound server with a null sink.
class TestAudioPlayback : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // These tests must run, not skip: the test command starts the server.
        QVERIFY2(soundServerReachable(), "no PulseAudio server: run the tests through the test command");
    }

    void cleanup() { QTRY_VERIFY_WITH_TIMEOUT(sinkInputs().isEmpty(), 5000); }

    void voiceIsDoneBeforeItHasSpoken()
    {
        HelperVoice voice(m_engine);
        QCOMPARE(voice.Status().RunningState(), int(SRSEDone));
    }

    void readingDeliversAudioToTheSink()
    {
        HelperVoice voice(m_engine);
        QSignalSpy firstAudio(&voice, &HelperVoice::firstAudioDelivered);
        voice.Speak(longText(200), SVSFlagsAsync);
        QVERIFY(firstAudio.wait(5000));
        QTRY_VERIFY_WITH_TIMEOUT(voice.playedUSecs() > 300000, 10000);
        QCOMPARE(voice.Status().RunningState(), int(SRSEIsSpeaking));
        const QList<SinkInput> inputs = sinkInputs();
        QCOMPARE(inputs.size(), 1);
        QVERIFY(!inputs.first().corked);
    }

    void pauseHoldsTheStreamAndResumeGoesOn_data() { bothEngines(); }
    void pauseHoldsTheStreamAndResumeGoesOn()
    {
        QFETCH(QString, voiceName);
        HelperVoice voice(m_engine);
        voice.setVoice(voiceNamed(voiceName));
        voice.Speak(longText(200), SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(voice.playedUSecs() > 200000, 10000);

        voice.Pause();
        QTRY_VERIFY_WITH_TIMEOUT(!sinkInputs().isEmpty() && sinkInputs().first().corked, 5000);
        QCOMPARE(voice.Status().RunningState(), int(SRSEIsSpeaking)); // paused still counts as speaking
        const qint64 pausedAt = voice.playedUSecs();
        QTest::qWait(400); // an interval in which nothing may be played
        QVERIFY2(voice.playedUSecs() - pausedAt < 50000,
                 qPrintable(QStringLiteral("played %1 us while paused").arg(voice.playedUSecs() - pausedAt)));

        voice.Resume();
        QTRY_VERIFY_WITH_TIMEOUT(!sinkInputs().isEmpty() && !sinkInputs().first().corked, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(voice.playedUSecs() > pausedAt + 200000, 10000);
    }

    void resumeOnAnUnpausedVoiceChangesNothing()
    {
        HelperVoice voice(m_engine);
        voice.Speak(longText(100), SVSFlagsAsync);
        voice.Resume();
        QTRY_VERIFY_WITH_TIMEOUT(voice.playedUSecs() > 200000, 10000);
        QVERIFY(!sinkInputs().first().corked);
    }

    void releasingTheVoiceStopsItsAudioAtOnce_data() { bothEngines(); }
    void releasingTheVoiceStopsItsAudioAtOnce()
    {
        QFETCH(QString, voiceName);
        auto voice = std::make_unique<HelperVoice>(m_engine);
        voice->setVoice(voiceNamed(voiceName));
        voice->Speak(longText(2000), SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(voice->playedUSecs() > 100000, 10000);
        QCOMPARE(sinkInputs().size(), 1);
        voice.reset();
        QTRY_VERIFY_WITH_TIMEOUT(sinkInputs().isEmpty(), 2000);
    }

    void releasingTheVoiceServesNoEvents()
    {
        // Handlers run in the middle of a release would find the reading half torn down.
        auto voice = std::make_unique<HelperVoice>(m_engine);
        voice->Speak(longText(200), SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(voice->playedUSecs() > 100000, 10000);
        bool releasing = true;
        bool ranDuringRelease = false;
        QTimer::singleShot(0, [&] { ranDuringRelease = releasing; });
        voice.reset();
        releasing = false;
        QVERIFY(!ranDuringRelease);
    }

    void aReadingEndsAsDoneOnceItsAudioHasPlayed_data() { bothEngines(); }
    void aReadingEndsAsDoneOnceItsAudioHasPlayed()
    {
        QFETCH(QString, voiceName);
        HelperVoice voice(m_engine);
        voice.setVoice(voiceNamed(voiceName));
        QSignalSpy finished(&voice, &HelperVoice::readingFinished);
        voice.Speak(QStringLiteral("Short."), SVSFlagsAsync);
        QCOMPARE(voice.Status().RunningState(), int(SRSEIsSpeaking));
        QVERIFY(finished.wait(10000));
        QVERIFY2(voice.playedUSecs() == 0, "the output is released when done");
        QCOMPARE(voice.Status().RunningState(), int(SRSEDone));
    }

    void aReadingLeavesACoreFreeOfRendering()
    {
        // With every core rendering, the window's thread waited for the sound server's lock.
        m_engine.setRenderingHelperCount(8);
        HelperVoice voice(m_engine);
        QSignalSpy finished(&voice, &HelperVoice::readingFinished);
        voice.Speak(QStringLiteral("Short."), SVSFlagsAsync);
        QCOMPARE(m_engine.renderingHelpersNow(), std::max(1, QThread::idealThreadCount() - 1));
        QVERIFY(finished.wait(10000));
        QCOMPARE(m_engine.renderingHelpersNow(), 8);
        m_engine.setRenderingHelperCount(QThread::idealThreadCount());
    }

    void aPausedReadingIsNotDoneUntilResumedAndPlayed()
    {
        HelperVoice voice(m_engine);
        QSignalSpy finished(&voice, &HelperVoice::readingFinished);
        voice.Speak(QStringLiteral("Short words."), SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(voice.playedUSecs() > 100000, 5000);
        voice.Pause();
        // Long enough for the helper to finish and the whole text to have played, unpaused.
        QVERIFY(!finished.wait(2500));
        QCOMPARE(voice.Status().RunningState(), int(SRSEIsSpeaking));
        voice.Resume();
        QVERIFY(finished.wait(5000));
        QCOMPARE(voice.Status().RunningState(), int(SRSEDone));
    }

    void aSecondReadingOnTheSameVoiceReplacesTheFirst()
    {
        HelperVoice voice(m_engine);
        voice.Speak(longText(500), SVSFlagsAsync);
        voice.Speak(longText(500), SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(voice.playedUSecs() > 100000, 10000);
        QCOMPARE(sinkInputs().size(), 1);
    }

    void soundShorterThanTheOutputBufferIsStillPlayed()
    {
        // The server starts a stream once its buffer is full; 30 ms never fill it.
        QByteArray click(2 * (22050 * 30 / 1000), '\0'); // whole samples
        for (qsizetype i = 0; i < click.size(); i += 2)
            click[i + 1] = char(i % 64 < 32 ? 0x20 : 0xe0);
        QBuffer source(&click);
        source.open(QIODevice::ReadOnly);
        AudioOutput output;
        output.start(&source, 22050);
        QTRY_VERIFY_WITH_TIMEOUT(output.processedUSecs() >= 30000, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(output.isStarved(), 5000);
    }

    void blankTextIsDonePromptly()
    {
        HelperVoice voice(m_engine);
        voice.Speak(QStringLiteral(" \n "), SVSFlagsAsync);
        QTRY_COMPARE_WITH_TIMEOUT(voice.Status().RunningState(), int(SRSEDone), 3000);
    }

    void threeCrashesInARowEndTheReadingOnly()
    {
        HelperVoice voice(m_engine);
        voice.setVoice(voiceNamed(QStringLiteral("English (America)"))); // the text kills espeak-ng
        std::optional<SpeechOutcome> outcome;
        voice.setFinishedCallback([&outcome](const SpeechOutcome &ended) { outcome = ended; });
        const QString crasher = textThatKillsTheEngine() + u'\n';
        voice.Speak(crasher.repeated(3) + QStringLiteral("Never heard."), SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), 20000);
        QCOMPARE(outcome->failure, QStringLiteral("The speech engine stopped unexpectedly."));
        QCOMPARE(voice.Status().RunningState(), int(SRSEDone));
        voice.Speak(QStringLiteral("The next reading works."), SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(voice.playedUSecs() > 100000, 10000);
    }

private:
    static void bothEngines()
    {
        QTest::addColumn<QString>("voiceName");
        QTest::newRow("espeak-ng") << "English (America)";
        QTest::newRow("flite") << "English (America) - slt";
    }
    SpObjectToken voiceNamed(const QString &name) const { return ::voiceNamed(m_engine, name); }

    HelperSpeechEngine m_engine{HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US")};
};

PARLORA_SOUND_TEST_GUILESS_MAIN(TestAudioPlayback)
#include "tst_audioplayback.moc"
