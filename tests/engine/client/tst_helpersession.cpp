#include "engine/client/helpersession.h"
#include "engine/client/passage.h"
#include "engine/rendering/passagerenderer.h"
#include "engine/rendering/spfilestream.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

// A helper session, and a renderer on sessions, driven by a fake helper (fakehelper.cpp) that
// misbehaves on request.
class TestHelperSession : public QObject
{
    Q_OBJECT

    struct Run
    {
        std::unique_ptr<HelperSession> session;
        QList<std::pair<qsizetype, bool>> finished;
        QMap<qsizetype, QByteArray> audio;
        QString failure;
    };

    static QString fakeHelper() { return QCoreApplication::applicationDirPath() + QStringLiteral("/fake-speech-helper"); }
    static SpObjectToken voice(const char *id)
    {
        return SpObjectToken(QStringLiteral("fake"), QString::fromLatin1(id), QStringLiteral("Fake"), {});
    }
    // What the fake says for a text: each byte as 20 samples of byte * 100.
    static QByteArray audioOf(const QByteArray &text)
    {
        QByteArray pcm;
        for (const char byte : text)
            for (int i = 0; i < 20; ++i) {
                const qint16 sample = qint16(static_cast<unsigned char>(byte) * 100);
                pcm.append(reinterpret_cast<const char *>(&sample), 2);
            }
        return pcm;
    }

    static std::unique_ptr<Run> speak(const QList<QByteArray> &texts, const char *voiceId = "fake")
    {
        auto run = std::make_unique<Run>();
        run->session = std::make_unique<HelperSession>(fakeHelper(), voice(voiceId), HelperSession::Purpose::Playback);
        run->session->setStallTimeout(500);
        Run *raw = run.get();
        connect(raw->session.get(), &HelperSession::audioReceived, raw->session.get(),
                [raw](qsizetype passage, const QByteArray &pcm) { raw->audio[passage] += pcm; });
        connect(raw->session.get(), &HelperSession::passageFinished, raw->session.get(),
                [raw](qsizetype passage, bool spoken) { raw->finished.append({passage, spoken}); });
        connect(raw->session.get(), &HelperSession::failed, raw->session.get(),
                [raw](const QString &description) { raw->failure = description; });
        QList<SessionPassage> group;
        for (qsizetype i = 0; i < texts.size(); ++i)
            group.append({i, texts.at(i)});
        run->session->start();
        run->session->speak(group);
        (void)QTest::qWaitFor([raw, &texts] { return raw->finished.size() == texts.size() || !raw->failure.isEmpty(); },
                              10000);
        return run;
    }

    using Finished = QList<std::pair<qsizetype, bool>>;

private Q_SLOTS:
    void passagesAreReportedInOrderWithTheirAudio()
    {
        const auto run = speak({"one.", "two."});
        QCOMPARE(run->finished, (Finished{{0, true}, {1, true}}));
        QCOMPARE(run->audio.value(0), audioOf("one."));
        QCOMPARE(run->audio.value(1), audioOf("two."));
    }

    void aStallCostsThatPassageAndAFreshHelperGoesOn()
    {
        const auto run = speak({"one.", "stall", "three."});
        QCOMPARE(run->finished, (Finished{{0, true}, {1, false}, {2, true}}));
        // The fresh helper replays "one." unheard: nobody gets it twice.
        QCOMPARE(run->audio.value(0), audioOf("one."));
        QCOMPARE(run->audio.value(2), audioOf("three."));
    }

    void theNextPassageSentAsAStalledOneIsGivenUpGetsAHelper()
    {
        // As a reading does: each passage is sent once the one before has finished.
        HelperSession session(fakeHelper(), voice("fake"), HelperSession::Purpose::Playback);
        session.setStallTimeout(300);
        Finished finished;
        QString failure;
        connect(&session, &HelperSession::passageFinished, &session, [&](qsizetype passage, bool spoken) {
            finished.append({passage, spoken});
            if (passage == 0)
                session.speak({{1, "two."}});
        });
        connect(&session, &HelperSession::failed, &session, [&](const QString &description) { failure = description; });
        session.start();
        session.speak({{0, "stall"}});
        QTRY_VERIFY_WITH_TIMEOUT(finished.size() == 2 || !failure.isEmpty(), 10000);
        QCOMPARE(failure, QString());
        QCOMPARE(finished, (Finished{{0, false}, {1, true}}));
    }

    void aHelperDyingTwiceOnAPassageCostsThatPassageOnly()
    {
        const auto run = speak({"one.", "die", "three."});
        QCOMPARE(run->finished, (Finished{{0, true}, {1, false}, {2, true}}));
        QCOMPARE(run->audio.value(2), audioOf("three."));
    }

    void aHelperDyingOnceMidPassageIsNotHeard()
    {
        QTemporaryDir folder;
        qputenv("FAKE_HELPER_ONCE", folder.filePath(QStringLiteral("died")).toLocal8Bit());
        const auto run = speak({"one.", "die-once two.", "three."});
        qunsetenv("FAKE_HELPER_ONCE");
        QCOMPARE(run->finished, (Finished{{0, true}, {1, true}, {2, true}}));
        // Its first half came from the helper that died, the rest from the fresh one: whole, once.
        QCOMPARE(run->audio.value(1), audioOf("die-once two."));
    }

    void anOversizedFrameIsABrokenHelper()
    {
        const auto run = speak({"oversized", "two."});
        QCOMPARE(run->finished, (Finished{{0, false}, {1, true}}));
    }

    void aMalformedHeaderEndsTheSession()
    {
        const auto run = speak({"one."}, "malformed-header");
        QCOMPARE(run->failure, QStringLiteral("The speech engine stopped unexpectedly."));
        QVERIFY(run->finished.isEmpty());
    }

    void passagesFinishedOutOfOrderReachTheFileInTextOrder()
    {
        // Two helpers, groups of 16: the first group starts slowly, so the second finishes first.
        QString text = QStringLiteral("slow zero.\n");
        for (int i = 1; i < 32; ++i)
            text += QStringLiteral("passage %1.\n").arg(i);
        const QList<Passage> passages = passagesOf(text);
        QTemporaryDir folder;
        SpFileStream stream;
        stream.Open(folder.filePath(QStringLiteral("out.wav")));
        PassageRenderer renderer(fakeHelper(), voice("fake"), 2);
        QList<qsizetype> written;
        qint64 frames = 0;
        connect(&renderer, &PassageRenderer::passageWritten, this,
                [&](qsizetype passage, qint64 firstFrame, const QList<HelperProtocol::WordMarkerPayload> &) {
                    QCOMPARE(firstFrame, frames);
                    frames += audioOf(passages.at(passage).utf8).size() / 2;
                    written.append(passage);
                });
        QVERIFY(renderer.render(passages, stream, {}).isEmpty());
        stream.Close();
        QCOMPARE(written.size(), 32);
        QVERIFY(std::is_sorted(written.begin(), written.end()));
        QCOMPARE(stream.framesWritten(), frames);
    }
};

QTEST_GUILESS_MAIN(TestHelperSession)
#include "tst_helpersession.moc"
