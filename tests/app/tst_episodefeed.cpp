#include "app/program.h"
#include "episode/soundfilesettings.h"
#include "feedwindow/formrss.h"
#include "speechwindow/formwav.h"
#include "tests/doubles/testservices.h"
#include "tests/support/filecontents.h"
#include "tests/support/realenginewindow.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// From the text to a feed item: an episode saved with transcripts and chapters, published at a
// web address, gives the next item its transcript and chapters addresses.
class TestEpisodeFeed : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anAddedItemPointsToTheTranscriptsAndChapters()
    {
        QStandardPaths::setTestModeEnabled(true);
        SoundFileSettings settings;
        settings.transcripts = true;
        settings.save();
        QTemporaryDir folder;
        TestServices test(&RealEngineWindow::engine());
        test.clock.now = QDateTime(QDate(2026, 12, 8), QTime(7, 0), Qt::UTC);
        Program program(test.services());
        program.start();

        FormWav &speech = *program.speechWindow();
        speech.Text1->setPlainText(QStringLiteral("# Hello\nA short episode.\n# Goodbye\nThat was all."));
        test.fileDialogs.answer(folder.filePath(QStringLiteral("episode.mp3")), 1);
        speech.Label2_Click();
        speech.Text14->setText(QStringLiteral("https://example.org/podcast/episode.mp3"));

        speech.Command3_Click();
        FormRss &feed = *program.feedWindow();
        feed.Text1->setText(QStringLiteral("Readings"));
        feed.Text2->setPlainText(QStringLiteral("Texts read aloud."));
        feed.Text12->setText(QStringLiteral("The Reader"));
        feed.Text3->setText(QStringLiteral("https://example.org/podcast/"));
        feed.Text5->setText(QStringLiteral("Hello and goodbye"));
        feed.Text4->setPlainText(QStringLiteral("The first episode."));
        feed.Text6->setText(QStringLiteral("https://example.org/podcast/1"));
        feed.Command2_Click();
        const QString feedPath = folder.filePath(QStringLiteral("feed.xml"));
        test.fileDialogs.answer(feedPath);
        feed.Command1_Click();

        const QByteArray written = contentsOf(feedPath);
        QVERIFY2(written.contains("https://example.org/podcast/episode.vtt"), written.constData());
        QVERIFY(written.contains("https://example.org/podcast/episode.srt"));
        QVERIFY(written.contains("https://example.org/podcast/episode.chapters.json"));
        QVERIFY(written.contains("<podcast:chapters"));
        if (qEnvironmentVariableIsSet("PARLORA_KEEP_FEED")) // for checking it by hand
            QFile::copy(feedPath, qEnvironmentVariable("PARLORA_KEEP_FEED"));
    }
};

QTEST_MAIN(TestEpisodeFeed)
#include "tst_episodefeed.moc"
