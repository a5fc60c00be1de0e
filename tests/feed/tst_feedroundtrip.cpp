// Feeds made by other programs, opened and saved: nothing lost, nothing invented, and an edit
// changes only what was edited.
#include "feed/feedfile.h"
#include "feed/feedreader.h"
#include "feed/publishedfeed.h"
#include "tests/feed/canonicalxml.h"
#include "tests/support/filecontents.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

struct Opened
{
    QByteArray original;
    std::shared_ptr<const FeedSource> feed;
    ItemStore items;

    explicit Opened(const QString &name) : original(contentsOf(QStringLiteral(FEEDS_DIR "/") + name))
    {
        const FeedReadResult read = readFeed(original);
        if (!read.problem.isEmpty())
            qWarning() << name << read.problem << read.line;
        feed = read.feed;
        items.open(feed);
    }
    [[nodiscard]] QByteArray saved(const ChannelFields &channel) const
    {
        return feedBytesToSave(channel, feed->details, items);
    }
    [[nodiscard]] QByteArray saved() const { return saved(feed->channel); }
};

// The entries of two token lists that differ, as "was -> is"; the lists must be as long.
[[nodiscard]] QStringList differences(const QStringList &was, const QStringList &is)
{
    if (was.size() != is.size())
        return {QStringLiteral("%1 tokens became %2").arg(was.size()).arg(is.size())};
    QStringList changed;
    for (qsizetype i = 0; i < was.size(); ++i) {
        if (was.at(i) != is.at(i))
            changed.append(was.at(i) + u" -> "_s + is.at(i));
    }
    return changed;
}

} // namespace

class TestFeedRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anOpenedFeedSavedUnchangedIsTheSameFeed_data() { addFixtures(); }
    void anOpenedFeedSavedUnchangedIsTheSameFeed()
    {
        QFETCH(QString, name);
        const Opened opened(name);
        QVERIFY(opened.feed);
        const QByteArray saved = opened.saved();
        QCOMPARE(canonicalXml(saved), canonicalXml(opened.original, RssVersion::As20));
        // UTF-8 RSS 2.0 comes back byte for byte, byte-order mark included.
        if (opened.feed->bytes == opened.original && opened.original.contains("version=\"2.0\""))
            QCOMPARE(saved, opened.original);
        QVERIFY(canonicalXml(saved).first().contains(u"{}version=2.0"_s));
        // The quick scanner and QXmlStreamReader find the same episodes.
        const std::shared_ptr<const FeedSource> thorough = readFeedThoroughly(opened.original).feed;
        QCOMPARE(thorough->items.size(), opened.feed->items.size());
        for (qsizetype i = 0; i < thorough->items.size(); ++i)
            QCOMPARE(thorough->item(i), opened.feed->item(i));
    }

    void editingOneFieldChangesOnlyThatField_data() { addFixtures(); }
    void editingOneFieldChangesOnlyThatField()
    {
        QFETCH(QString, name);
        Opened opened(name);
        const QStringList before = canonicalXml(opened.saved());

        ChannelFields channel = opened.feed->channel;
        channel.title = u"New & <improved>"_s;
        QCOMPARE(differences(before, canonicalXml(opened.saved(channel))),
                 QStringList{u"\""_s + opened.feed->channel.title + u" -> \"New & <improved>"_s});

        FeedItem item = opened.items.item(0);
        const QString title = item.title;
        item.title = u"Renamed"_s;
        opened.items.replace(0, item);
        QCOMPARE(differences(before, canonicalXml(opened.saved())), QStringList{u"\""_s + title + u" -> \"Renamed"_s});
        QCOMPARE(readFeed(opened.saved()).feed->item(0), item);
    }

    void deletedAndMovedEpisodesLeaveTheRestAsItWas()
    {
        Opened opened(u"buzzsprout.xml"_s);
        const QList<FeedItem> items = opened.items.items();
        opened.items.move(1, 0);
        const std::shared_ptr<const FeedSource> moved = readFeed(opened.saved()).feed;
        QCOMPARE(moved->item(0), items.at(1));
        QCOMPARE(moved->item(1), items.at(0));
        QCOMPARE(canonicalXml(opened.saved()).size(), canonicalXml(opened.original).size());

        opened.items.remove(0);
        const std::shared_ptr<const FeedSource> left = readFeed(opened.saved()).feed;
        QCOMPARE(left->items.size(), 1);
        QCOMPARE(left->item(0), items.at(0));
        QCOMPARE(left->channel, opened.feed->channel);
        QCOMPARE(left->details, opened.feed->details);
    }

    void anEditedItemGainsOnlyTheElementsGiven()
    {
        Opened opened(u"sparse-items.xml"_s);
        FeedItem item = opened.items.item(0);
        item.link = u"https://odds.example.com/only"_s;
        opened.items.replace(0, item);
        const QByteArray saved = opened.saved();
        QVERIFY(saved.contains("<title>Only a title</title>\n    <link>https://odds.example.com/only</link>\r\n</item>"));
        // The empty item and the second title are left as they were.
        QVERIFY(saved.contains("    <item/>\n"));
        QVERIFY(saved.contains("<title>Second title</title>"));
        QCOMPARE(canonicalXml(saved).size(), canonicalXml(opened.original).size() + 4);
    }

    void newElementsDeclareTheirNamespaceOnlyWhenUsed()
    {
        Opened opened(u"sparse-items.xml"_s);
        FeedItem item{u"Added"_s, u"d"_s, u"https://odds.example.com/c"_s, u"Mon, 09 Nov 2026 08:00:00 GMT"_s,
                      u"Ada"_s, u"https://odds.example.com/c.mp3"_s, u"1"_s, u"audio/mpeg"_s};
        opened.items.append(item);
        QVERIFY(!opened.saved().contains("xmlns:podcast2"));
        QVERIFY(opened.saved().contains("xmlns:dc=\"http://purl.org/dc/elements/1.1/\""));

        // "podcast" names another namespace in this file, so the Podcast Index one gets a prefix of its own.
        item.transcriptVttUrl = u"https://odds.example.com/c.vtt"_s;
        opened.items.replace(5, item);
        const QByteArray saved = opened.saved();
        QVERIFY(saved.contains("xmlns:podcast2=\"https://podcastindex.org/namespace/1.0\""));
        QVERIFY(saved.contains("<podcast2:transcript url=\"https://odds.example.com/c.vtt\" type=\"text/vtt\" />"));
        QCOMPARE(readFeed(saved).feed->item(5).transcriptVttUrl, item.transcriptVttUrl);
        QVERIFY(saved.contains("<podcast:mood>calm</podcast:mood>"));
    }

    void onlyRegularFilesUpTo256MiBAreRead()
    {
        QTemporaryDir folder;
        const QString fifo = folder.filePath(u"pipe.xml"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(readFeedFile(fifo).problem.endsWith(u"it is not a regular file."_s));
        QVERIFY(readFeedFile(folder.path()).problem.endsWith(u"it is not a regular file."_s));

        QFile large(folder.filePath(u"large.xml"_s));
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(MaximumFeedFileSize + 1)); // sparse: takes no room on disk
        large.close();
        QVERIFY(readFeedFile(large.fileName()).problem.endsWith(u"it is larger than 256 MiB."_s));
    }

private:
    static void addFixtures()
    {
        QTest::addColumn<QString>("name");
        const QStringList names = QDir(QStringLiteral(FEEDS_DIR)).entryList({u"*.xml"_s}, QDir::Files);
        QVERIFY(names.size() >= 12);
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << name;
    }
};

QTEST_GUILESS_MAIN(TestFeedRoundTrip)
#include "tst_feedroundtrip.moc"
