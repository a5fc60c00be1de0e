#include "engine/helperspeechengine.h"
#include "engine/client/speecherror.h"
#include "engine/client/speechhelperprocess.h"
#include "tests/engine/enginetesting.h"

#include <QFileInfo>
#include <QHash>
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

    void bothEnginesVoicesAreListedWithTheirEngine()
    {
        QHash<QString, QString> engineOf;
        for (const SpObjectToken &token : m_engine.catalog().tokens())
            engineOf.insert(token.GetDescription(), token.engine());
        QCOMPARE(engineOf.value(QStringLiteral("English (America)")), QStringLiteral("espeak-ng"));
        for (const char *name :
             {"English (America) - slt", "English (America) - rms", "English (Scotland) - awb",
              "English (America) - kal16", "English (America) - kal"})
            QCOMPARE(engineOf.value(QString::fromLatin1(name)), QStringLiteral("flite"));
        // The engine behind each token is the one that speaks it: kal is flite's 8 kHz voice.
        SpeechHelperProcess kal(m_engine.helperPath(), voiceNamed("English (America) - kal"),
                                SpeechHelperProcess::Purpose::Rendering);
        QCOMPARE(kal.start(QDeadlineTimer(10000)), 8000);
    }

    void fliteVoicesSpeakAtTheirOwnRate_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::newRow("slt, 16 kHz") << "English (America) - slt";
        QTest::newRow("kal, 8 kHz") << "English (America) - kal";
        QTest::newRow("awb") << "English (Scotland) - awb";
    }
    void fliteVoicesSpeakAtTheirOwnRate()
    {
        QFETCH(QString, voice);
        // Seconds are counted at the rate the helper announces: a wrong rate would halve or
        // double them against espeak-ng's reading of the same words.
        const double espeak = renderedSeconds(m_engine, QStringLiteral("English (America)"), longText(60));
        const double short_ = renderedSeconds(m_engine, voice, longText(20));
        const double long_ = renderedSeconds(m_engine, voice, longText(60));
        QVERIFY2(long_ > 2.5 * short_, qPrintable(QStringLiteral("%1 vs %2").arg(long_).arg(short_)));
        QVERIFY2(long_ > 0.6 * espeak && long_ < 1.6 * espeak,
                 qPrintable(QStringLiteral("%1 s against espeak-ng's %2 s").arg(long_).arg(espeak)));
    }

    void fliteReadsATextWithoutSentenceEndsWhole()
    {
        // Fed in pieces, nothing may be dropped at the cuts.
        QString run = longText(600);
        run.remove(u'.');
        const double whole = renderedSeconds(m_engine, QStringLiteral("English (America) - slt"), run);
        const double firstHalf =
            renderedSeconds(m_engine, QStringLiteral("English (America) - slt"), run.left(run.size() / 2));
        QVERIFY2(whole > 1.8 * firstHalf && whole < 2.2 * firstHalf,
                 qPrintable(QStringLiteral("%1 s against %2 s for half").arg(whole).arg(firstHalf)));
    }

    void fliteSurvivesLongRunsOfPunctuation()
    {
        // Whole, such a run corrupts flite's heap and kills the helper.
        const QString runs = QString(3000, u'.') + u' ' + QStringLiteral(",;?!").repeated(500);
        QVERIFY(renderedSeconds(m_engine, QStringLiteral("English (America) - slt"), runs) >= 0.0);
    }

    void englishLocalesPreferTheMostNaturalEnglishVoice()
    {
        const HelperSpeechEngine american(HelperSpeechEngine::defaultHelperPath(),
                                          QStringLiteral("en_US.UTF-8"));
        QCOMPARE(american.catalog().tokens().first().GetDescription(),
                 QStringLiteral("English (America) - slt"));
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

    void stoppingMidTextEndsTheHelperAtOnce_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::newRow("espeak-ng") << "English (America)";
        QTest::newRow("flite") << "English (America) - slt";
    }
    void stoppingMidTextEndsTheHelperAtOnce()
    {
        QFETCH(QString, voice);
        SpeechHelperProcess helper(m_engine.helperPath(), voiceNamed(voice),
                                   SpeechHelperProcess::Purpose::Playback);
        QVERIFY(helper.start(QDeadlineTimer(10000)) > 0);
        QVERIFY(helper.sendPassage(longText(150).toUtf8()));
        QCOMPARE(nextFrame(helper), SpeechHelperProcess::Frame::Audio);
        const qint64 pid = helper.processId();
        QVERIFY(QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)));
        helper.kill();
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/%1/status").arg(pid)));
        QCOMPARE(helper.readFrame().kind, SpeechHelperProcess::Frame::Ended);
    }

    void aCrashCostsTheHelperOnePassage()
    {
        SpeechHelperProcess helper(m_engine.helperPath(), voiceNamed("English (America)"),
                                   SpeechHelperProcess::Purpose::Rendering);
        QVERIFY(helper.start(QDeadlineTimer(10000)) > 0);
        QVERIFY(helper.sendPassage(textThatKillsTheEngine().toUtf8()));
        QVERIFY(helper.sendPassage(QByteArrayLiteral("Still here.")));
        QCOMPARE(nextFrame(helper), SpeechHelperProcess::Frame::PassageFailed);
        QCOMPARE(nextFrame(helper), SpeechHelperProcess::Frame::Audio);
        SpeechHelperProcess::Frame::Kind kind;
        while ((kind = nextFrame(helper)) == SpeechHelperProcess::Frame::Audio) {
        }
        QCOMPARE(kind, SpeechHelperProcess::Frame::PassageDone);
    }

    void missingHelperGivesAnEmptyListWithAReason()
    {
        const HelperSpeechEngine broken(QStringLiteral("/nonexistent/parlora-speech-helper"));
        QVERIFY(broken.catalog().tokens().isEmpty());
        QVERIFY(!broken.catalogProblem().isEmpty());
    }

private:
    static SpeechHelperProcess::Frame::Kind nextFrame(SpeechHelperProcess &helper)
    {
        for (;;) {
            const SpeechHelperProcess::Frame frame = helper.readFrame();
            if (frame.kind != SpeechHelperProcess::Frame::Nothing)
                return frame.kind;
            if (!helper.waitReadable(QDeadlineTimer(10000)))
                return SpeechHelperProcess::Frame::Nothing;
        }
    }
    SpObjectToken voiceNamed(const char *name) const
    {
        return ::voiceNamed(m_engine, QString::fromLatin1(name));
    }
    SpObjectToken voiceNamed(const QString &name) const { return ::voiceNamed(m_engine, name); }

    HelperSpeechEngine m_engine{HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US")};
};

QTEST_GUILESS_MAIN(TestHelperSpeechEngine)
#include "tst_helperspeechengine.moc"
