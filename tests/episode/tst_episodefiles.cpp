#include "engine/helperspeechengine.h"
#include "episode/episodesaver.h"
#include "listening/spokentext.h"
#include "tests/engine/enginetesting.h"
#include "tests/support/ffmpegprobe.h"
#include "tests/support/filecontents.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <id3v2tag.h>
#include <mpegfile.h>

Q_DECLARE_METATYPE(SoundFileFormat)

namespace {

const QString Text = QStringLiteral("# Welcome\nThis is the opening sentence. It has two parts.\n"
                                    "# The middle\nHere the middle begins. And it goes on for a while.");
const QStringList Sentences{QStringLiteral("Welcome"),
                            QStringLiteral("This is the opening sentence."),
                            QStringLiteral("It has two parts."),
                            QStringLiteral("The middle"),
                            QStringLiteral("Here the middle begins."),
                            QStringLiteral("And it goes on for a while.")};

qint64 millisecondsOf(const QString &timestamp)
{
    const QStringList parts = timestamp.split(QRegularExpression(QStringLiteral("[:.,]")));
    return ((parts.at(0).toLongLong() * 60 + parts.at(1).toLongLong()) * 60 + parts.at(2).toLongLong()) *
               1000 +
           parts.at(3).toLongLong();
}

} // namespace

// Episodes saved over the real engine and read back by TagLib and ffprobe.
class TestEpisodeFiles : public QObject
{
    Q_OBJECT

private:
    HelperSpeechEngine m_engine{HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US")};
    QTemporaryDir m_folder;
    SoundFileSettings m_podcast;

    SavedEpisode save(const QString &name, const QString &text, SoundFileFormat format,
                      const SoundFileSettings &settings)
    {
        auto voice = m_engine.createVoice();
        voice->setVoice(voiceNamed(m_engine, QStringLiteral("English (America)")));
        const EpisodeOutline outline = episodeOutlineOf(text);
        return saveEpisode(*voice, outline, SpokenText(outline.spokenText), m_folder.filePath(name), format,
                           settings, {});
    }

private Q_SLOTS:
    void initTestCase()
    {
        QImage cover(16, 16, QImage::Format_RGB32);
        cover.fill(Qt::darkBlue);
        QVERIFY(cover.save(m_folder.filePath(QStringLiteral("cover.png"))));
        m_podcast.transcripts = true;
        m_podcast.artist = QStringLiteral("The Reader");
        m_podcast.album = QStringLiteral("Readings");
        m_podcast.coverImagePath = m_folder.filePath(QStringLiteral("cover.png"));
    }

    void tagsCoverAndChaptersReadBack_data()
    {
        QTest::addColumn<SoundFileFormat>("format");
        QTest::addColumn<QString>("name");
        QTest::newRow("MP3") << SoundFileFormat::Mp3 << "episode.mp3";
        QTest::newRow("Ogg Vorbis") << SoundFileFormat::OggVorbis << "episode.ogg";
        QTest::newRow("FLAC") << SoundFileFormat::Flac << "episode.flac";
    }
    void tagsCoverAndChaptersReadBack()
    {
        QFETCH(SoundFileFormat, format);
        QFETCH(QString, name);
        (void)save(name, Text, format, m_podcast);
        const QJsonObject probed = probe(m_folder.filePath(name));
        // Ogg's comments are the stream's; keys may come back in capitals.
        const QJsonObject tags = (format == SoundFileFormat::OggVorbis
                                      ? probed.value(QStringLiteral("streams")).toArray().first().toObject()
                                      : probed.value(QStringLiteral("format")).toObject())
                                     .value(QStringLiteral("tags"))
                                     .toObject();
        const auto tag = [&tags](const QString &key) {
            return tags.value(key).toString() + tags.value(key.toUpper()).toString();
        };
        QCOMPARE(tag(QStringLiteral("title")), QStringLiteral("Welcome"));
        QCOMPARE(tag(QStringLiteral("artist")), QStringLiteral("The Reader"));
        QCOMPARE(tag(QStringLiteral("album")), QStringLiteral("Readings"));
        QCOMPARE(tag(QStringLiteral("genre")), QStringLiteral("Podcast"));
        const QJsonArray chapters = probed.value(QStringLiteral("chapters")).toArray();
        QCOMPARE(chapters.size(), 2);
        QCOMPARE(
            chapters.at(1).toObject().value(QStringLiteral("tags")).toObject().value(QStringLiteral("title")),
            QStringLiteral("The middle"));
        QVERIFY(chapters.at(1).toObject().value(QStringLiteral("start_time")).toString().toDouble() > 1.0);
        if (format != SoundFileFormat::Mp3)
            return;
        // The cover, and ID3v2.4 as TagLib reads it.
        const QJsonArray streams = probed.value(QStringLiteral("streams")).toArray();
        QVERIFY(std::any_of(streams.begin(), streams.end(), [](const QJsonValue &stream) {
            return stream.toObject().value(QStringLiteral("codec_name")) == QStringLiteral("png");
        }));
        TagLib::MPEG::File file(QFile::encodeName(m_folder.filePath(name)).constData());
        QVERIFY(file.hasID3v2Tag());
        QCOMPARE(file.ID3v2Tag()->header()->majorVersion(), 4u);
        QCOMPARE(file.ID3v2Tag()->frameListMap()["CHAP"].size(), 2u);
        QCOMPARE(file.ID3v2Tag()->frameListMap()["CTOC"].size(), 1u);
        QCOMPARE(file.ID3v2Tag()->frameListMap()["APIC"].size(), 1u);
    }

    void transcriptCuesFollowTheSentencesAndMarkers()
    {
        const SavedEpisode saved = save(QStringLiteral("spoken.mp3"), Text, SoundFileFormat::Mp3, m_podcast);
        QCOMPARE(saved.companionFiles,
                 QStringList({m_folder.filePath(QStringLiteral("spoken.vtt")),
                              m_folder.filePath(QStringLiteral("spoken.srt")),
                              m_folder.filePath(QStringLiteral("spoken.chapters.json"))}));
        const QString vtt = QString::fromUtf8(contentsOf(saved.companionFiles.at(0)));
        QVERIFY(vtt.startsWith(QStringLiteral("WEBVTT\r\n")));
        const QRegularExpression cuePattern(
            QStringLiteral(R"((\d\d:\d\d:\d\d\.\d\d\d) --> (\d\d:\d\d:\d\d\.\d\d\d)\r\n(.*)\r\n)"));
        QStringList texts;
        qint64 previousEnd = 0;
        const QString spoken = episodeOutlineOf(Text).spokenText;
        for (const QRegularExpressionMatch &cue : cuePattern.globalMatch(vtt)) {
            texts.append(cue.captured(3));
            const qint64 start = millisecondsOf(cue.captured(1));
            QVERIFY(start >= previousEnd && millisecondsOf(cue.captured(2)) > start);
            previousEnd = millisecondsOf(cue.captured(2));
            // The sentence's first word, as the engine marked it.
            const qsizetype at = spoken.indexOf(cue.captured(3));
            const auto word = std::find_if(saved.sound.words.begin(), saved.sound.words.end(),
                                           [at](const TimedWord &word) { return word.start >= at; });
            QVERIFY(word != saved.sound.words.end());
            QVERIFY(qAbs(start - word->frame * 1000 / saved.sound.sampleRate) <= 50);
        }
        QCOMPARE(texts, Sentences);
        QVERIFY(contentsOf(saved.companionFiles.at(1)).contains(" --> "));
        const QJsonObject chapters = QJsonDocument::fromJson(contentsOf(saved.companionFiles.at(2))).object();
        QCOMPARE(chapters.value(QStringLiteral("version")).toString(), QStringLiteral("1.2.0"));
        QCOMPARE(chapters.value(QStringLiteral("chapters")).toArray().size(), 2);
    }

    void unusedAdditionsChangeNothing()
    {
        // A WAV file with the settings as they come: the bytes renderToFile always wrote.
        const QString text = QStringLiteral("Plain words. # Not a mark here.");
        const SavedEpisode saved =
            save(QStringLiteral("plain.wav"), text, SoundFileFormat::Wav, SoundFileSettings());
        QVERIFY(saved.companionFiles.isEmpty());
        auto voice = m_engine.createVoice();
        voice->setVoice(voiceNamed(m_engine, QStringLiteral("English (America)")));
        (void)renderToFile(
            *voice,
            {.text = text, .fileName = m_folder.filePath(QStringLiteral("direct.wav")), .progress = {}});
        QCOMPARE(contentsOf(m_folder.filePath(QStringLiteral("plain.wav"))),
                 contentsOf(m_folder.filePath(QStringLiteral("direct.wav"))));
        // An MP3 of plain text with nothing set holds audio alone: no tag.
        (void)save(QStringLiteral("plain.mp3"), text, SoundFileFormat::Mp3, SoundFileSettings());
        QVERIFY(!contentsOf(m_folder.filePath(QStringLiteral("plain.mp3"))).startsWith("ID3"));
        QCOMPARE(m_folder.path() + QStringLiteral("/plain.vtt"),
                 companionFileName(m_folder.filePath(QStringLiteral("plain.mp3")), QStringLiteral(".vtt")));
        QVERIFY(!QFile::exists(m_folder.filePath(QStringLiteral("plain.vtt"))));
    }
};

QTEST_GUILESS_MAIN(TestEpisodeFiles)
#include "tst_episodefiles.moc"
