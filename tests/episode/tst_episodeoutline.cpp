#include "documents/chapterheading.h"
#include "episode/episodechapters.h"
#include "episode/episodeoutline.h"
#include "episode/episodesaver.h"
#include "episode/transcript.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

// Title, chapters and transcripts worked out from a text and its spoken words.
class TestEpisodeOutline : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textWithoutMarksIsSpokenUnchanged()
    {
        const QString text = QStringLiteral("\n  A first line.\nMore # text.\n#not a mark\n");
        const EpisodeOutline outline = episodeOutlineOf(text);
        QCOMPARE(outline.spokenText, text);
        QCOMPARE(outline.title, QStringLiteral("A first line."));
        QVERIFY(outline.chapters.isEmpty());
    }

    void markedLinesAndHeadingsBecomeChaptersWithoutTheMark()
    {
        QTextDocument document(QStringLiteral("Opening words.\n# Part one\nIts text.\nPart two\nMore text."));
        document.findBlockByNumber(3).setUserState(ChapterHeadingBlockState);
        const EpisodeOutline outline = episodeOutlineOf(document);
        QCOMPARE(outline.spokenText,
                 QStringLiteral("Opening words.\nPart one\nIts text.\nPart two\nMore text."));
        QCOMPARE(outline.title, QStringLiteral("Part one"));
        QCOMPARE(outline.chapters,
                 (QList<ChapterMark>{{QStringLiteral("Part one"), 15}, {QStringLiteral("Part two"), 34}}));
    }

    void cuesFollowTheSentencesFromTheirFirstWord()
    {
        // Frames at 1,000 Hz, so frames are milliseconds.
        const QString text = QStringLiteral("One two. Skipped here.\nThree <four> & five.");
        const QList<TimedWord> words{{0, 3, 120}, {4, 3, 400}, {23, 5, 2500}, {30, 4, 2900}};
        const QList<TranscriptCue> cues = transcriptCues(text, words, 1000, 4000);
        QCOMPARE(cues.size(), 2);
        QCOMPARE(webVtt(cues),
                 QByteArray("WEBVTT\r\n\r\n1\r\n00:00:00.120 --> 00:00:02.500\r\nOne two.\r\n\r\n"
                            "2\r\n00:00:02.500 --> 00:00:04.000\r\nThree &lt;four&gt; &amp; five.\r\n"));
        QCOMPARE(subRip(cues), QByteArray("1\r\n00:00:00,120 --> 00:00:02,500\r\nOne two.\r\n\r\n"
                                          "2\r\n00:00:02,500 --> 00:00:04,000\r\nThree <four> & five.\r\n"));
    }

    void chaptersFileHasThePodcastIndexFields()
    {
        const QList<ChapterMark> marks{
            {QStringLiteral("Intro"), 0}, {QStringLiteral("Gone"), 50}, {QStringLiteral("Main"), 60}};
        // "Gone" has no word of its own before "Main" begins.
        const QList<TimedWord> words{{0, 5, 0}, {61, 4, 12345}};
        const QList<TimedChapter> chapters = timedChapters(marks, words, 1000, 20000);
        QCOMPARE(chapters.size(), 2);
        QCOMPARE(chapters.at(0).endMs, 12345);
        QCOMPARE(chapters.at(1).endMs, 20000);
        const QJsonObject json = QJsonDocument::fromJson(podcastChaptersJson(chapters)).object();
        QCOMPARE(json.value(QStringLiteral("version")).toString(), QStringLiteral("1.2.0"));
        const QJsonArray list = json.value(QStringLiteral("chapters")).toArray();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.at(1).toObject().value(QStringLiteral("startTime")).toDouble(), 12.345);
        QCOMPARE(list.at(1).toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Main"));
    }

    void companionsAreNamedAfterTheSoundFile()
    {
        QCOMPARE(companionFileName(QStringLiteral("/p/ep.1.MP3"), QStringLiteral(".vtt")),
                 QStringLiteral("/p/ep.1.vtt"));
        QCOMPARE(companionFileName(QStringLiteral("/p/episode"), QStringLiteral(".chapters.json")),
                 QStringLiteral("/p/episode.chapters.json"));
        QCOMPARE(companionFilesNote({QStringLiteral("/p/a.vtt"), QStringLiteral("/p/a.srt"),
                                     QStringLiteral("/p/a.chapters.json")}),
                 QStringLiteral(", with a.vtt, a.srt and a.chapters.json beside it"));
        QCOMPARE(companionFilesNote({}), QString());
    }
};

QTEST_GUILESS_MAIN(TestEpisodeOutline)
#include "tst_episodeoutline.moc"
