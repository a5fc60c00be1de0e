#include "feed/feedreader.h"
#include "feed/soundfilesaddress.h"
#include "feedwindow/episodeeditdialog.h"
#include "feedwindow/episodesdialog.h"
#include "feedwindow/publishingdetailsdialog.h"
#include "tests/feedwindow/feedwindowfixture.h"
#include "tests/support/filecontents.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

// Every detail the dialog asks for, with a category Apple's list no longer has.
const QByteArray ThreeEpisodes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<rss version=\"2.0\" xmlns:itunes=\"http://www.itunes.com/dtds/podcast-1.0.dtd\" "
    "xmlns:atom=\"http://www.w3.org/2005/Atom\">\n<channel>\n"
    "<title>Show</title><link>https://example.org/</link><description>D</description>\n"
    "<itunes:author>Ada</itunes:author><language>en</language>\n"
    "<itunes:image href=\"https://example.org/a.png\"/>\n"
    "<itunes:category text=\"Technology\"><itunes:category text=\"Podcasting\"/></itunes:category>\n"
    "<itunes:explicit>false</itunes:explicit>\n"
    "<itunes:owner><itunes:name>Ada</itunes:name><itunes:email>ada@example.org</itunes:email></itunes:owner>\n"
    "<atom:link href=\"https://example.org/feed.xml\" rel=\"self\" type=\"application/rss+xml\"/>\n"
    "<item><title>One</title><itunes:duration>61</itunes:duration></item>\n"
    "<item><title>Two</title><enclosure url=\"https://example.org/2.mp3\" length=\"2\" type=\"audio/mpeg\"/></item>\n"
    "<item><title>Three</title><pubDate>Sun, 06 Dec 2026 03:05:09 GMT</pubDate></item>\n"
    "</channel>\n</rss>\n";

} // namespace

// "&Episodes...", and the publishing details an opened feed brings.
class TestFormRssEpisodes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FeedWindowFixture> m_feed;
    QTemporaryDir m_folder;
    QString m_path;

    FormRss &window() { return m_feed->window(); }
    QByteArray save()
    {
        m_feed->test().fileDialogs.answer(m_folder.filePath(u"saved.xml"_s));
        window().Command1_Click();
        return contentsOf(m_folder.filePath(u"saved.xml"_s));
    }

private Q_SLOTS:
    void init()
    {
        m_feed = std::make_unique<FeedWindowFixture>();
        m_path = writeFile(m_folder.filePath(u"three.xml"_s), ThreeEpisodes);
        m_feed->test().fileDialogs.answer(m_path);
        window().opn_Click();
        m_feed->messages().clear();
    }
    void cleanup() { m_feed.reset(); }

    void episodesAreEditedDeletedAndMovedWithTheKeyboardAlone()
    {
        window().show();
        window().episodes->trigger();
        auto *dialog = window().findChild<EpisodesDialog *>();
        QVERIFY(dialog);
        QTreeWidget *list = dialog->List;
        QCOMPARE(list->accessibleName(), u"Episodes"_s);
        QCOMPARE((QStringList{dialog->editButton->accessibleName(), dialog->deleteButton->accessibleName(),
                              dialog->moveUpButton->accessibleName(), dialog->moveDownButton->accessibleName()}),
                 (QStringList{u"Edit..."_s, u"Delete"_s, u"Move up"_s, u"Move down"_s}));
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(0)->text(2), u"61"_s);
        QCOMPARE(list->topLevelItem(1)->text(3), u"https://example.org/2.mp3"_s);

        // Down, Enter: the second episode opens for editing; a new title and Enter take it.
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        auto *edit = dialog->findChild<EpisodeEditDialog *>();
        QVERIFY(edit);
        QCOMPARE(edit->title->text(), u"Two"_s);
        QTest::keyClick(edit->title, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit->title, u"Second"_s);
        QTest::keyClick(edit->title, Qt::Key_Return);
        QTRY_VERIFY(!dialog->findChild<EpisodeEditDialog *>());
        QCOMPARE(list->topLevelItem(1)->text(0), u"Second"_s);

        // Delete takes the second; Ctrl+Up carries the third above the first.
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(list->topLevelItemCount(), 2);
        QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(list->topLevelItem(0)->text(0), u"Three"_s);
        dialog->accept();

        // Unsaved work: closing asks.
        m_feed->test().messageBox.answers.push_back(SaveAnswer::Cancel);
        QVERIFY(!window().close());
        QCOMPARE(m_feed->test().messageBox.questions, QStringList{u"Save the feed before closing?"_s});

        const QByteArray saved = save();
        const std::shared_ptr<const FeedSource> feed = readFeed(saved).feed;
        QCOMPARE(feed->items.size(), 2);
        QCOMPARE(feed->item(0).title, u"Three"_s);
        QCOMPARE(feed->item(1).title, u"One"_s);
        QVERIFY(saved.contains("<item><title>Three</title><pubDate>Sun, 06 Dec 2026 03:05:09 GMT</pubDate></item>\n"
                               "<item><title>One</title><itunes:duration>61</itunes:duration></item>\n</channel>"));
    }

    void aCategoryOutsideTheListIsShownAndKept()
    {
        window().details_Click();
        auto *dialog = window().findChild<PublishingDetailsDialog *>();
        QVERIFY(dialog);
        QCOMPARE(dialog->category->currentText(), u"Technology"_s);
        QCOMPARE(dialog->subcategory->currentText(), u"Podcasting"_s);
        dialog->accept();
        QCOMPARE(m_feed->messages(), QStringList());
        QCOMPARE(window().publishingDetails()->subcategory, u"Podcasting"_s);
        QCOMPARE(save(), ThreeEpisodes);
    }

    void theSoundFilesAddressIsRememberedAndLeavesTheFeedAlone()
    {
        window().details_Click();
        auto *dialog = window().findChild<PublishingDetailsDialog *>();
        QCOMPARE(dialog->soundFilesAddress->accessibleName(), u"Address of the sound files"_s);
        dialog->soundFilesAddress->setText(u"ftp://example.org/"_s);
        dialog->accept();
        QCOMPARE(m_feed->messages().size(), 1);
        dialog->soundFilesAddress->setText(u"https://example.org/audio"_s);
        dialog->accept();
        QCOMPARE(soundFilesAddress(), u"https://example.org/audio"_s);
        QCOMPARE(save(), ThreeEpisodes);
        QCOMPARE(publishedSoundFileAddress(soundFilesAddress(), u"/home/ada/My episode.mp3"_s),
                 u"https://example.org/audio/My%20episode.mp3"_s);
    }
};

QTEST_MAIN(TestFormRssEpisodes)
#include "tst_formrssepisodes.moc"
