#include "engine/helperspeechengine.h"
#include "engine/rendertofile.h"
#include "tests/engine/enginetesting.h"
#include "tests/support/ffmpegprobe.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(SoundFileFormat)

// Files levelled for podcasts, measured by ffmpeg's meter rather than the one that levelled them.
class TestEvenLoudness : public QObject
{
    Q_OBJECT

private:
    HelperSpeechEngine m_engine{HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US")};
    QTemporaryDir m_folder;

    std::optional<LoudnessFigures> renderAndMeasure(const QString &voiceName, const QString &text,
                                                    SoundFileFormat format, bool even)
    {
        const QString path = m_folder.filePath(QStringLiteral("episode-%1").arg(int(format)));
        auto voice = m_engine.createVoice();
        voice->setVoice(voiceNamed(m_engine, voiceName));
        (void)renderToFile(*voice, {.text = text,
                                    .fileName = path,
                                    .format = format,
                                    .progress = {},
                                    .mp3Bitrate = 96,
                                    .evenLoudness = even});
        return measureLoudness(path);
    }

    static void verifyPodcastTargets(const std::optional<LoudnessFigures> &figures)
    {
        QVERIFY(figures);
        qInfo("%.1f LUFS, true peak %.1f dBTP", figures->integratedLufs, figures->truePeakDbtp);
        QVERIFY2(qAbs(figures->integratedLufs + 16.0) <= 1.0,
                 qPrintable(QString::number(figures->integratedLufs)));
        QVERIFY2(figures->truePeakDbtp <= -1.0, qPrintable(QString::number(figures->truePeakDbtp)));
    }

private Q_SLOTS:
    void levelledFilesMeetThePodcastTargets_data()
    {
        QTest::addColumn<QString>("voiceName");
        QTest::addColumn<SoundFileFormat>("format");
        // German: espeak-ng's voice that clips at its own level.
        for (const char *voice : {"English (America)", "German", "English (America) - slt"}) {
            QTest::addRow("%s, MP3", voice) << QString::fromLatin1(voice) << SoundFileFormat::Mp3;
            QTest::addRow("%s, Ogg", voice) << QString::fromLatin1(voice) << SoundFileFormat::OggVorbis;
        }
    }
    void levelledFilesMeetThePodcastTargets()
    {
        QFETCH(QString, voiceName);
        QFETCH(SoundFileFormat, format);
        // About a minute and a half: well past the opening the gain is measured on.
        verifyPodcastTargets(renderAndMeasure(voiceName, longText(260), format, true));
    }

    void shortTextsAreLevelledToo()
    {
        verifyPodcastTargets(
            renderAndMeasure(QStringLiteral("German"), longText(24), SoundFileFormat::Mp3, true));
    }

    void withoutLevellingTheEnginesLevelStays()
    {
        const auto raw = renderAndMeasure(QStringLiteral("English (America)"), longText(60),
                                          SoundFileFormat::OggVorbis, false);
        QVERIFY(raw);
        QVERIFY2(raw->integratedLufs < -18.0, qPrintable(QString::number(raw->integratedLufs)));
    }
};

QTEST_GUILESS_MAIN(TestEvenLoudness)
#include "tst_evenloudness.moc"
