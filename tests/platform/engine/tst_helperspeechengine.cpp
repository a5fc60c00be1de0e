#include "enginetesting.h"
#include "helperspeechengine.h"
#include "speecherror.h"
#include "speechhelperprocess.h"

#include <QFileInfo>
#include <QSet>
#include <QTest>

// The real engine, through the helper process, without sound: voices, lookup and what
// reaches the audio.
class TestHelperSpeechEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(m_engine.helperPath()).isExecutable(), qPrintable(m_engine.helperPath()));
    }

    void listsEveryInstalledVoiceOnceWithItsName()
    {
        const QList<SpObjectToken> &tokens = m_engine.catalog().tokens();
        QVERIFY2(tokens.size() >= 100, "espeak-ng ships over a hundred voices");
        QSet<QString> seen;
        for (const SpObjectToken &token : tokens) {
            QVERIFY2(!seen.contains(token.GetDescription()), qPrintable(token.GetDescription()));
            seen.insert(token.GetDescription());
            QCOMPARE(token.attribute(QStringLiteral("Name")), token.GetDescription());
            QVERIFY(!token.id().startsWith(QStringLiteral("mb/"))); // variants are not voices
        }
        QVERIFY(seen.contains(QStringLiteral("English (America)")));
    }

    void englishLocaleListsAmericanEnglishFirst()
    {
        const HelperSpeechEngine american(HelperSpeechEngine::defaultHelperPath(),
                                          QStringLiteral("en_US.UTF-8"));
        QCOMPARE(american.catalog().tokens().first().GetDescription(), QStringLiteral("English (America)"));
        const HelperSpeechEngine german(HelperSpeechEngine::defaultHelperPath(),
                                        QStringLiteral("de_DE.UTF-8"));
        QCOMPARE(german.catalog().tokens().first().GetDescription(), QStringLiteral("German"));
    }

    void lookupByNameFindsThatVoiceAndNothingElse()
    {
        auto voice = m_engine.createVoice();
        const SpObjectTokens found =
            voice->GetVoices(QStringLiteral("Name=English (Great Britain)"), QString());
        QCOMPARE(found.Count(), 1);
        QCOMPARE(found.Item(0).id(), QStringLiteral("gmw/en"));
        voice->setVoice(found.Item(0));
        QCOMPARE(voice->Voice().GetDescription(), QStringLiteral("English (Great Britain)"));
    }

    void unknownNameFailsNamingTheVoice()
    {
        auto voice = m_engine.createVoice();
        const SpObjectTokens found = voice->GetVoices(QStringLiteral("Name=Nobody Speaks This"), QString());
        QCOMPARE(found.Count(), 0);
        QVERIFY_THROWS_EXCEPTION(SpeechError, (void)found.Item(0));
    }

    void eachVoiceSpeaksItsOwnWay()
    {
        const double english =
            renderedSeconds(m_engine, QStringLiteral("English (America)"), QStringLiteral("1234"));
        const double german = renderedSeconds(m_engine, QStringLiteral("German"), QStringLiteral("1234"));
        QVERIFY(english > 0.5);
        QVERIFY2(qAbs(english - german) > 0.05, "the voice choice must reach the engine");
    }

    void durationGrowsWithTheText()
    {
        const double short_ = renderedSeconds(m_engine, QStringLiteral("English (America)"), longText(10));
        const double long_ = renderedSeconds(m_engine, QStringLiteral("English (America)"), longText(100));
        QVERIFY2(long_ > 5 * short_, qPrintable(QStringLiteral("%1 vs %2").arg(long_).arg(short_)));
    }

    void markupIsReadAsText_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("plain");
        QTest::newRow("speech markup") << "<speak>hello there</speak>"
                                       << "hello there";
        QTest::newRow("phoneme brackets") << "[[h@l'oU]]"
                                          << "hello";
    }
    void markupIsReadAsText()
    {
        QFETCH(QString, markup);
        QFETCH(QString, plain);
        const QString voice = QStringLiteral("English (America)");
        // Interpreted markup would be silent; read literally, its characters take time to say.
        const double markupSeconds = renderedSeconds(m_engine, voice, markup);
        const double plainSeconds = renderedSeconds(m_engine, voice, plain);
        QVERIFY2(markupSeconds > plainSeconds + 0.4,
                 qPrintable(QStringLiteral("%1 s against %2 s").arg(markupSeconds).arg(plainSeconds)));
    }

    void controlCharacterDoesNotChangeLaterSpeech()
    {
        // U+0001 followed by "20S" would be a command that slows all later speech to 20 words a minute.
        const QString voice = QStringLiteral("English (America)");
        const QString words = longText(30);
        const double withControl =
            renderedSeconds(m_engine, voice, QChar(1) + QStringLiteral("20S ") + words);
        const double withoutControl = renderedSeconds(m_engine, voice, QStringLiteral("20S ") + words);
        QVERIFY2(qAbs(withControl - withoutControl) < 0.05 * withoutControl,
                 qPrintable(QStringLiteral("%1 s against %2 s").arg(withControl).arg(withoutControl)));
    }

    void blankTextGivesNoSpeechAndNoFailure()
    {
        QVERIFY(renderedSeconds(m_engine, QStringLiteral("English (America)"), QStringLiteral("  \n\t ")) <
                0.05);
    }

    void stoppingMidTextEndsTheHelperAtOnce()
    {
        const SpObjectToken voice = m_engine.catalog().tokens().first();
        SpeechHelperProcess helper(m_engine.helperPath(), voice, SpeechHelperProcess::Purpose::Playback);
        helper.start(longText(20000));
        QVERIFY(helper.waitForFirstAudio(QDeadlineTimer(10000)) > 0);
        char buffer[4096];
        QVERIFY(helper.readAudio(buffer, sizeof buffer, QDeadlineTimer(10000)) > 0);
        const qint64 pid = helper.processId();
        QVERIFY(QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)));
        helper.kill();
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/%1/status").arg(pid)));
        QCOMPARE(helper.readAvailableAudio(buffer, sizeof buffer), qint64(-1));
    }

    void crashOfTheHelperIsReportedAndContained()
    {
        const SpObjectToken voice = m_engine.catalog().tokens().first();
        SpeechHelperProcess doomed(m_engine.helperPath(), voice, SpeechHelperProcess::Purpose::Playback);
        doomed.start(textThatKillsTheEngine());
        try {
            (void)doomed.waitForFirstAudio(QDeadlineTimer(10000));
            QFAIL("the helper should have died");
        } catch (const SpeechError &error) {
            QCOMPARE(error.description(), QStringLiteral("The speech engine stopped unexpectedly."));
        }
        QVERIFY(renderedSeconds(m_engine, voice.GetDescription(), QStringLiteral("Still here.")) > 0.3);
    }

    void missingHelperGivesAnEmptyListWithAReason()
    {
        const HelperSpeechEngine broken(QStringLiteral("/nonexistent/parlora-speech-helper"));
        QVERIFY(broken.catalog().tokens().isEmpty());
        QVERIFY(!broken.catalogProblem().isEmpty());
    }

private:
    HelperSpeechEngine m_engine{HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US")};
};

QTEST_GUILESS_MAIN(TestHelperSpeechEngine)
#include "tst_helperspeechengine.moc"
