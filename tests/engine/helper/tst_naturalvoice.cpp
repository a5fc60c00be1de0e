#include "engine/client/helpersession.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Natural voices through the real speech helper, on small models the tests make: each id of the
// model's input comes out as a run of samples of the id's value (tests/support/make-natural-voice.py).
class TestNaturalVoice : public QObject
{
    Q_OBJECT

    QTemporaryDir m_data;

    static QString helper()
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/parlora-speech-helper");
    }
    QString voicesFolder() const { return m_data.path() + QStringLiteral("/parlora/voices"); }

    // Makes a voice and returns its model's path.
    QString makeVoice(const QString &name, const QStringList &options = {}) const
    {
        QProcess maker;
        maker.start(QStringLiteral("/usr/bin/python3"),
                    QStringList{QStringLiteral(MAKE_VOICE_SCRIPT), voicesFolder(), name} + options);
        if (!maker.waitForFinished(60000) || maker.exitCode() != 0)
            qFatal("cannot make a test voice: %s", maker.readAllStandardError().constData());
        return QString::fromUtf8(maker.readAllStandardOutput()).trimmed();
    }

    struct Run
    {
        std::unique_ptr<HelperSession> session;
        QList<std::pair<qsizetype, bool>> finished;
        QMap<qsizetype, QByteArray> audio;
        QList<HelperProtocol::WordMarkerPayload> markers;
    };

    static std::unique_ptr<Run> speak(const QString &model, const QList<QByteArray> &texts,
                                      int speedPercent = 100)
    {
        auto run = std::make_unique<Run>();
        run->session = std::make_unique<HelperSession>(
            helper(), SpObjectToken(QStringLiteral("natural"), model, QStringLiteral("Test voice"), {}),
            HelperSession::Purpose::Rendering);
        Run *raw = run.get();
        connect(raw->session.get(), &HelperSession::audioReceived, raw->session.get(),
                [raw](qsizetype passage, const QByteArray &pcm) { raw->audio[passage] += pcm; });
        connect(raw->session.get(), &HelperSession::passageFinished, raw->session.get(),
                [raw](qsizetype passage, bool spoken) {
                    raw->finished.append({passage, spoken});
                });
        connect(raw->session.get(), &HelperSession::wordMarked, raw->session.get(),
                [raw](qsizetype, const HelperProtocol::WordMarkerPayload &marker) {
                    raw->markers.append(marker);
                });
        run->session->setWordMarkersWanted(true);
        run->session->setAdjustment({speedPercent, 100, 100});
        QList<SessionPassage> group;
        for (qsizetype i = 0; i < texts.size(); ++i)
            group.append({i, texts.at(i)});
        run->session->start();
        run->session->speak(group);
        (void)QTest::qWaitFor(
            [raw, &texts] { return raw->finished.size() == texts.size() || raw->session->hasFailed(); },
            30000);
        return run;
    }

    // The ids the model was given, read back from its audio: runs of 64 samples, each brought to
    // full scale by its sentence's largest id.
    static QList<QList<int>> sentencesOfIds(const QByteArray &pcm)
    {
        const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
        const qsizetype count = pcm.size() / 2;
        QList<QList<int>> sentences;
        double scale = 0; // the start symbol is id 1: its value gives the sentence's scale
        for (qsizetype i = 0; i < count; i += 64) {
            if (sentences.isEmpty() || sentences.last().endsWith(2)) {
                sentences.append(QList<int>());
                scale = samples[i];
            }
            sentences.last().append(int(std::lround(samples[i] / scale)));
        }
        return sentences;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_data.isValid());
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    }

    void theHelperListsUsableVoicesAndRefusesOthersWithTheReason_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("reason");
        QTest::newRow("usable") << QStringList{} << QString();
        QTest::newRow("model without scales") << QStringList{QStringLiteral("--no-scales")}
                                              << QStringLiteral("The voice's model has no input \"scales\".");
        QTest::newRow("phonemes of another kind")
            << QStringList{QStringLiteral("--phoneme-type"), QStringLiteral("pinyin")}
            << QStringLiteral(
                   "The voice uses \"pinyin\" phonemes; only voices with espeak phonemes can be used.");
    }
    void theHelperListsUsableVoicesAndRefusesOthersWithTheReason()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, reason);
        const QString model =
            makeVoice(QString::fromLatin1(QTest::currentDataTag()).remove(QLatin1Char(' ')), options);
        QProcess check;
        check.start(helper(), {QStringLiteral("--check-voice"), model});
        QVERIFY(check.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(check.readAllStandardError()).trimmed(), reason);
        QCOMPARE(check.exitCode() == 0, reason.isEmpty());
    }

    void aVoiceIsListedByItsLanguageAndName()
    {
        const QString model = makeVoice(QStringLiteral("listed"));
        QProcess list;
        list.start(helper(), {QStringLiteral("--list")});
        QVERIFY(list.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(list.readAllStandardOutput())
                    .contains(QStringLiteral("natural\t%1\tEnglish (America) - listed (natural)\ten-us,en\t")
                                  .arg(model)));
    }

    void eachSentenceIsFramedWithStartPadAndEndSymbols()
    {
        const auto run = speak(makeVoice(QStringLiteral("framing")), {"Hi there. Bye."});
        QCOMPARE(run->finished, (QList<std::pair<qsizetype, bool>>{{0, true}}));
        const QList<QList<int>> sentences = sentencesOfIds(run->audio.value(0));
        QCOMPARE(sentences.size(), 2);
        for (const QList<int> &ids : sentences) {
            QCOMPARE(ids.first(), 1);
            QCOMPARE(ids.last(), 2);
            for (qsizetype i = 1; i + 1 < ids.size(); i += 2)
                QCOMPARE(ids.at(i), 0); // a pad after the start and after each phoneme
            QVERIFY(ids.size() > 5);
        }
        QCOMPARE(sentences.at(0).at(sentences.at(0).size() - 3), 10); // "." ends "Hi there."
    }

    void speedWorksThroughTheLengthScale()
    {
        const QString model = makeVoice(QStringLiteral("speed"));
        const auto normal = speak(model, {"Hi there."});
        const auto faster = speak(model, {"Hi there."}, 200);
        QVERIFY(!normal->audio.value(0).isEmpty());
        QCOMPARE(faster->audio.value(0).size() * 2, normal->audio.value(0).size());
    }

    void wordMarkersLieInOrderInsideTheAudio()
    {
        const auto run = speak(makeVoice(QStringLiteral("markers")), {"Hi there, you. Bye now."});
        QCOMPARE(run->markers.size(), 5);
        const quint64 samples = quint64(run->audio.value(0).size() / 2);
        for (qsizetype i = 1; i < run->markers.size(); ++i)
            QVERIFY(run->markers.at(i).sample > run->markers.at(i - 1).sample);
        QVERIFY(run->markers.last().sample < samples);
        QCOMPARE(run->markers.at(3).start, 15u); // "Bye"
    }

    void aPassageTheModelFailsOnCostsThatPassageOnly()
    {
        const auto run = speak(
            makeVoice(QStringLiteral("failing"), {QStringLiteral("--failing-phoneme"), QStringLiteral("ɛ")}),
            {"Bye.", "Hi there.", "Bye."});
        QCOMPARE(run->finished, (QList<std::pair<qsizetype, bool>>{{0, true}, {1, false}, {2, true}}));
        QCOMPARE(run->audio.value(2), run->audio.value(0));
    }
};

QTEST_GUILESS_MAIN(TestNaturalVoice)
#include "tst_naturalvoice.moc"
