#include "engine/helper/espeaksynthesizer.h"
#include "engine/helper/flitesynthesizer.h"
#include "engine/helper/textsanitizer.h"

#include <QTest>

namespace {

struct Spoken
{
    std::vector<WordMarker> markers;
    std::uint64_t samples = 0;
};

Spoken speak(const QString &engine, const QString &voiceId, const QString &text)
{
    // espeak-ng cannot be started twice in one process: one synthesizer per engine serves all.
    static EspeakSynthesizer espeak;
    static FliteSynthesizer flite;
    Synthesizer &synthesizer =
        engine == QStringLiteral("espeak-ng") ? static_cast<Synthesizer &>(espeak) : flite;
    Spoken spoken;
    (void)synthesizer.selectVoice(voiceId.toStdString()); // a voice that fails gives no markers
    synthesizer.setWordMarkerSink([&spoken](const WordMarker &marker) {
        // A marker arrives before the audio it points into, so no later than the audio so far.
        QVERIFY(marker.sample >= spoken.samples);
        spoken.markers.push_back(marker);
    });
    const auto count = [&spoken](const short *, int samples) {
        spoken.samples += std::uint64_t(samples);
        return true;
    };
    (void)synthesizer.speak(text.toStdString(), count, [](std::size_t) {});
    return spoken;
}

} // namespace

// Where each spoken word lies in its text, as both engines report it.
class TestWordMarkers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachWordIsMarkedInOrderInCodePoints_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("voice");
        QTest::newRow("espeak-ng") << QStringLiteral("espeak-ng") << QStringLiteral("gmw/en-US");
        QTest::newRow("flite") << QStringLiteral("flite") << QStringLiteral("slt");
    }
    void eachWordIsMarkedInOrderInCodePoints()
    {
        QFETCH(QString, engine);
        QFETCH(QString, voice);
        // Two sentences: flite speaks them as two pieces, whose samples and positions add up.
        const QString text =
            QStringLiteral("The quick brown fox jumps over the lazy dog. Then it sleeps quietly.");
        const QStringList words = text.split(QLatin1Char(' '));
        const Spoken spoken = speak(engine, voice, text);
        QCOMPARE(spoken.markers.size(), std::size_t(words.size()));
        std::uint32_t wordStart = 0;
        for (std::size_t i = 0; i < spoken.markers.size(); ++i) {
            const WordMarker &marker = spoken.markers[i];
            QCOMPARE(marker.start, wordStart);
            QVERIFY(marker.length >= 1 && marker.length <= std::uint32_t(words.at(qsizetype(i)).size()));
            QVERIFY(marker.sample < spoken.samples &&
                    (i == 0 || marker.sample > spoken.markers[i - 1].sample));
            wordStart += std::uint32_t(words.at(qsizetype(i)).size()) + 1;
        }

        // Counted in code points, as the engines count: an emoji is one, an accent one more.
        const QString marked =
            QStringLiteral("Zoë \U0001F600 cafe\u0301 and more \U0001F600 words end here.");
        const WordMarker last = speak(engine, voice, marked).markers.back();
        QCOMPARE(last.start,
                 std::uint32_t(marked.left(marked.indexOf(QStringLiteral("here"))).toUcs4().size()));
        QCOMPARE(last.length, 4u);
    }

    void positionsCountTheControlCharactersTheEnginesNeverSee()
    {
        const std::vector<std::uint32_t> removed = removedControlCharacters("a\001b\002\003c");
        QCOMPARE(positionBeforeRemoval(removed, 0), 0u);
        QCOMPARE(positionBeforeRemoval(removed, 1), 2u);
        QCOMPARE(positionBeforeRemoval(removed, 2), 5u);
    }
};

QTEST_GUILESS_MAIN(TestWordMarkers)
#include "tst_wordmarkers.moc"
