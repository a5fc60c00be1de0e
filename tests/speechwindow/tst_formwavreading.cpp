#include "engine/helpervoice.h"
#include "speechwindow/formwav.h"
#include "tests/engine/enginetesting.h"
#include "tests/engine/soundserver.h"
#include "tests/engine/soundtestmain.h"
#include "tests/speechwindow/selectvoice.h"
#include "tests/support/realenginewindow.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The speech window over the real engine and a null-sink sound server.
class TestFormWavReading : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RealEngineWindow> m_real;

    FormWav &window() const { return m_real->window(); }
    HelperVoice *windowVoice() const { return dynamic_cast<HelperVoice *>(window().windowVoice()); }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(soundServerReachable(), "run the tests through the test command"); }

    void init() { m_real = std::make_unique<RealEngineWindow>(); }

    void cleanup()
    {
        m_real.reset();
        QTRY_VERIFY_WITH_TIMEOUT(sinkInputs().isEmpty(), 5000);
    }

    void theVoiceListHoldsTheInstalledVoices()
    {
        QCOMPARE(window().List2->count(), RealEngineWindow::engine().catalog().tokens().size());
        QCOMPARE(window().List2->currentItem()->text(), QStringLiteral("English (America) - slt"));
    }

    void pauseBeforeAnyReadingSaysNotPlaying()
    {
        window().Command1_Click();
        QCOMPARE(m_real->messages(), QStringList{QStringLiteral("Not Playing")});
    }

    void readPauseResumeAndFinish()
    {
        window().Text1->setPlainText(QStringLiteral("One short sentence to read."));
        window().Command2_Click();
        QVERIFY(m_real->messages().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > 100000, 10000);

        window().Command1_Click();
        QCOMPARE(window().Command1->text(), QStringLiteral("Resume"));
        QTRY_VERIFY_WITH_TIMEOUT(!sinkInputs().isEmpty() && sinkInputs().first().corked, 5000);

        window().Command1_Click();
        QCOMPARE(window().Command1->text(), QStringLiteral("Pause"));
        QTRY_VERIFY_WITH_TIMEOUT(!sinkInputs().isEmpty() && !sinkInputs().first().corked, 5000);

        QTRY_COMPARE_WITH_TIMEOUT(windowVoice()->Status().RunningState(), int(SRSEDone), 15000);
        window().Command1->setText(QStringLiteral("Resume"));
        window().Command1_Click();
        QCOMPARE(m_real->messages(), QStringList{QStringLiteral("Not Playing")});
        QCOMPARE(window().Command1->text(), QStringLiteral("Pause"));
    }

    void aNewReadingStopsThePreviousOne()
    {
        window().Text1->setPlainText(longText(2000));
        window().Command2_Click();
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > 100000, 10000);
        window().Command2_Click();
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > 100000, 10000);
        QCOMPARE(sinkInputs().size(), 1);
    }

    void aCrashCostsOnePassageAndTheReadingGoesOn()
    {
        selectVoice(window(), QStringLiteral("English (America)")); // the text kills espeak-ng, not flite
        const double expectedSeconds = renderedSeconds(
            RealEngineWindow::engine(), QStringLiteral("English (America)"), textAroundTheCrasher());
        window().Text1->setPlainText(textWithACrasherInTheMiddle());
        window().Command2_Click();
        qint64 playedUSecs = 0;
        QVERIFY(QTest::qWaitFor(
            [&] {
                if (windowVoice() != nullptr)
                    playedUSecs = std::max(playedUSecs, windowVoice()->playedUSecs());
                return !m_real->messages().isEmpty();
            },
            20000));
        QCOMPARE(m_real->messages(), QStringList{crasherSkippedMessage()});
        QVERIFY2(playedUSecs > 0.9e6 * expectedSeconds,
                 qPrintable(QStringLiteral("played %1 us of %2 s").arg(playedUSecs).arg(expectedSeconds)));

        window().Text1->setPlainText(QStringLiteral("Ordinary words work again."));
        window().Command2_Click();
        QCOMPARE(m_real->messages().size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > 100000, 10000);
    }

    void aSaveDuringAReadingLeavesTheReadingAlone()
    {
        QTemporaryDir folder;
        window().Text1->setPlainText(longText(300));
        window().Command2_Click();
        SpVoice *reading = window().windowVoice();
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > 100000, 10000);

        m_real->test().fileDialogs.answer(folder.filePath(QStringLiteral("while-reading.wav")));
        window().Label2_Click();
        QCOMPARE(m_real->messages().size(), 1); // "File saved to ..."
        QCOMPARE(window().windowVoice(), reading);
        QCOMPARE(reading->Status().RunningState(), int(SRSEIsSpeaking));

        window().Command1_Click();
        QCOMPARE(window().Command1->text(), QStringLiteral("Resume"));
        QTRY_VERIFY_WITH_TIMEOUT(!sinkInputs().isEmpty() && sinkInputs().first().corked, 5000);
    }

    void readingGoesOnWhileTheWindowIsHidden()
    {
        window().show();
        window().Text1->setPlainText(longText(300));
        window().Command2_Click();
        window().Command3_Click();
        QVERIFY(!window().isVisible());
        const qint64 before = windowVoice()->playedUSecs();
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > before + 200000, 10000);
    }
};

PARLORA_SOUND_TEST_MAIN(TestFormWavReading)
#include "tst_formwavreading.moc"
