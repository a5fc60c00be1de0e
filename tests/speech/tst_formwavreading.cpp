#include "platform/engine/helperspeechengine.h"
#include "platform/engine/helpervoice.h"
#include "speech/formwav.h"
#include "tests/doubles/testservices.h"
#include "tests/platform/engine/enginetesting.h"
#include "tests/platform/engine/soundserver.h"
#include "tests/speech/selectvoice.h"

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
    HelperSpeechEngine m_engine{HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US")};
    std::unique_ptr<TestServices> m_test;
    std::unique_ptr<FormWav> m_window;

    HelperVoice *windowVoice() const { return dynamic_cast<HelperVoice *>(m_window->windowVoice()); }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(soundServerReachable(), "run the tests through the test command"); }

    void init()
    {
        m_test = std::make_unique<TestServices>(&m_engine);
        m_window = std::make_unique<FormWav>(m_test->services());
    }

    void cleanup()
    {
        m_window.reset();
        QTRY_VERIFY_WITH_TIMEOUT(sinkInputs().isEmpty(), 5000);
    }

    void theVoiceListHoldsTheInstalledVoices()
    {
        QCOMPARE(m_window->List2->count(), m_engine.catalog().tokens().size());
        QCOMPARE(m_window->List2->currentItem()->text(), QStringLiteral("English (America) - slt"));
    }

    void pauseBeforeAnyReadingSaysNotPlaying()
    {
        m_window->Command1_Click();
        QCOMPARE(m_test->messageBox.messages, QStringList{QStringLiteral("Not Playing")});
    }

    void readPauseResumeAndFinish()
    {
        m_window->Text1->setPlainText(QStringLiteral("One short sentence to read."));
        m_window->Command2_Click();
        QVERIFY(m_test->messageBox.messages.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > 100000, 10000);

        m_window->Command1_Click();
        QCOMPARE(m_window->Command1->text(), QStringLiteral("Resume"));
        QTRY_VERIFY_WITH_TIMEOUT(!sinkInputs().isEmpty() && sinkInputs().first().corked, 5000);

        m_window->Command1_Click();
        QCOMPARE(m_window->Command1->text(), QStringLiteral("Pause"));
        QTRY_VERIFY_WITH_TIMEOUT(!sinkInputs().isEmpty() && !sinkInputs().first().corked, 5000);

        QTRY_COMPARE_WITH_TIMEOUT(windowVoice()->Status().RunningState(), int(SRSEDone), 15000);
        m_window->Command1->setText(QStringLiteral("Resume"));
        m_window->Command1_Click();
        QCOMPARE(m_test->messageBox.messages, QStringList{QStringLiteral("Not Playing")});
        QCOMPARE(m_window->Command1->text(), QStringLiteral("Pause"));
    }

    void aNewReadingStopsThePreviousOne()
    {
        m_window->Text1->setPlainText(longText(2000));
        m_window->Command2_Click();
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > 100000, 10000);
        m_window->Command2_Click();
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > 100000, 10000);
        QCOMPARE(sinkInputs().size(), 1);
    }

    void aCrashCostsOnePassageAndTheReadingGoesOn()
    {
        selectVoice(*m_window, QStringLiteral("English (America)")); // the text kills espeak-ng, not flite
        const double expectedSeconds =
            renderedSeconds(m_engine, QStringLiteral("English (America)"), textAroundTheCrasher());
        m_window->Text1->setPlainText(textWithACrasherInTheMiddle());
        m_window->Command2_Click();
        qint64 playedUSecs = 0;
        QVERIFY(QTest::qWaitFor(
            [&] {
                if (windowVoice() != nullptr)
                    playedUSecs = std::max(playedUSecs, windowVoice()->playedUSecs());
                return !m_test->messageBox.messages.isEmpty();
            },
            20000));
        QCOMPARE(m_test->messageBox.messages, QStringList{crasherSkippedMessage()});
        QVERIFY2(playedUSecs > 0.9e6 * expectedSeconds,
                 qPrintable(QStringLiteral("played %1 us of %2 s").arg(playedUSecs).arg(expectedSeconds)));

        m_window->Text1->setPlainText(QStringLiteral("Ordinary words work again."));
        m_window->Command2_Click();
        QCOMPARE(m_test->messageBox.messages.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > 100000, 10000);
    }

    void aSaveDuringAReadingLeavesTheReadingAlone()
    {
        QTemporaryDir folder;
        m_window->Text1->setPlainText(longText(300));
        m_window->Command2_Click();
        SpVoice *reading = m_window->windowVoice();
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > 100000, 10000);

        m_test->fileDialogs.answer(folder.filePath(QStringLiteral("while-reading.wav")));
        m_window->Label2_Click();
        QCOMPARE(m_test->messageBox.messages.size(), 1); // "File saved to ..."
        QCOMPARE(m_window->windowVoice(), reading);
        QCOMPARE(reading->Status().RunningState(), int(SRSEIsSpeaking));

        m_window->Command1_Click();
        QCOMPARE(m_window->Command1->text(), QStringLiteral("Resume"));
        QTRY_VERIFY_WITH_TIMEOUT(!sinkInputs().isEmpty() && sinkInputs().first().corked, 5000);
    }

    void readingGoesOnWhileTheWindowIsHidden()
    {
        m_window->show();
        m_window->Text1->setPlainText(longText(300));
        m_window->Command2_Click();
        m_window->Command3_Click();
        QVERIFY(!m_window->isVisible());
        const qint64 before = windowVoice()->playedUSecs();
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > before + 200000, 10000);
    }
};

QTEST_MAIN(TestFormWavReading)
#include "tst_formwavreading.moc"
