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

    explicit Opened(const QString &name) : Opened(contentsOf(QStringLiteral(FEEDS_DIR "/") + name)) {}
    explicit Opened(QByteArray bytes) : original(std::move(bytes))
    {
        const FeedReadResult read = readFeed(original);
        if (!read.problem.isEmpty())
            qWarning() << read.problem << read.line;
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
        // Netscape's 0.91 document type would contradict the version now written.
        QCOMPARE(saved.contains("<!DOCTYPE"), opened.original.contains("<!DOCTYPE") &&
                                                  opened.feed->version.isPresent() &&
                                                  opened.feed->slice(opened.feed->version) == "2.0");
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
        QCOMPARE(differences(before, canonicalXml(opened.saved())),
                 QStringList{u"\""_s + title + u" -> \"Renamed"_s});
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
        QVERIFY(saved.contains(
            "<title>Only a title</title>\n    <link>https://odds.example.com/only</link>\r\n</item>"));
        // The empty item and the second title are left as they were.
        QVERIFY(saved.contains("    <item/>\n"));
        QVERIFY(saved.contains("<title>Second title</title>"));
        QCOMPARE(canonicalXml(saved).size(), canonicalXml(opened.original).size() + 4);
    }

    void newElementsDeclareTheirNamespaceOnlyWhenUsed()
    {
        Opened opened(u"sparse-items.xml"_s);
        FeedItem item{u"Added"_s,
                      u"d"_s,
                      u"https://odds.example.com/c"_s,
                      u"Mon, 09 Nov 2026 08:00:00 GMT"_s,
                      u"Ada"_s,
                      u"https://odds.example.com/c.mp3"_s,
                      u"1"_s,
                      u"audio/mpeg"_s};
        opened.items.append(item);
        QVERIFY(!opened.saved().contains("xmlns:podcast2"));
        QVERIFY(opened.saved().contains("xmlns:dc=\"http://purl.org/dc/elements/1.1/\""));

        // "podcast" names another namespace in this file, so the Podcast Index one gets a prefix of its own.
        item.transcriptVttUrl = u"https://odds.example.com/c.vtt"_s;
        opened.items.replace(5, item);
        const QByteArray saved = opened.saved();
        QVERIFY(saved.contains("xmlns:podcast2=\"https://podcastindex.org/namespace/1.0\""));
        QVERIFY(saved.contains(
            "<podcast2:transcript url=\"https://odds.example.com/c.vtt\" type=\"text/vtt\" />"));
        QCOMPARE(readFeed(saved).feed->item(5).transcriptVttUrl, item.transcriptVttUrl);
        QVERIFY(saved.contains("<podcast:mood>calm</podcast:mood>"));
    }

    void aPrefixDeclaredAgainIsReadAsItsLastDeclaration_data()
    {
        QTest::addColumn<QByteArray>("declarations");
        QTest::newRow("on the channel") << "><channel xmlns:podcast=\"https://example.org/other\">"_ba;
        QTest::newRow("twice on rss") << " xmlns:podcast=\"https://example.org/other\"><channel>"_ba;
        QTest::newRow("on an item") << "><channel><item xmlns:podcast=\"https://example.org/other\"/>"_ba;
    }
    void aPrefixDeclaredAgainIsReadAsItsLastDeclaration()
    {
        QFETCH(QByteArray, declarations);
        Opened opened("<rss version=\"2.0\" xmlns:podcast=\"https://podcastindex.org/namespace/1.0\"" +
                      declarations + "<title>T</title><item><title>E</title></item></channel></rss>");
        FeedItem item = opened.items.item(0);
        item.chaptersUrl = u"https://example.org/1.json"_s;
        opened.items.replace(0, item);
        const QByteArray saved = opened.saved();
        QVERIFY2(saved.contains("<podcast2:chapters"), saved.constData());
        QCOMPARE(readFeed(saved).feed->item(0).chaptersUrl, item.chaptersUrl);
    }

    void aNewFeedDeclaresThePodcastNamespaceOnlyForTranscriptsAndChapters()
    {
        const ChannelFields channel{u"T"_s, u"A"_s, u"D"_s, u"https://example.org/"_s};
        FeedItem item{u"E"_s,
                      u"d"_s,
                      u"https://example.org/1"_s,
                      u"Sun, 06 Dec 2026 03:05:09 GMT"_s,
                      u"A"_s,
                      u"https://example.org/1.mp3"_s,
                      u"1"_s,
                      u"audio/mpeg"_s};
        ItemStore items;
        items.append(item);
        QVERIFY(!newFeedBytes(channel, std::nullopt, items).contains("xmlns:podcast"));

        item.transcriptVttUrl = u"https://example.org/1.vtt"_s;
        item.chaptersUrl = u"https://example.org/1.chapters.json"_s;
        item.episode = u"3"_s;
        items.replace(0, item);
        const QByteArray saved = newFeedBytes(channel, std::nullopt, items);
        QVERIFY(saved.contains(
            "podcast-1.0.dtd\" xmlns:podcast=\"https://podcastindex.org/namespace/1.0\">\r\n"));
        QVERIFY(
            saved.contains("<itunes:episode>3</itunes:episode>\r\n"
                           "<podcast:transcript url=\"https://example.org/1.vtt\" type=\"text/vtt\" />\r\n"
                           "<podcast:chapters url=\"https://example.org/1.chapters.json\" "
                           "type=\"application/json+chapters\" />\r\n</item>"));
        QCOMPARE(readFeed(saved).feed->item(0), item);
    }

    void anOlderDocumentTypeIsDroppedWhereverItStands_data()
    {
        QTest::addColumn<QByteArray>("prolog");
        QTest::newRow("'>' in its identifier") << "<!DOCTYPE rss SYSTEM \"rss>0.91.dtd\">\n"_ba;
        QTest::newRow("named in a comment first")
            << "<!-- was <!DOCTYPE rss> -->\n<!DOCTYPE rss SYSTEM \"rss-0.91.dtd\">\n"_ba;
    }
    void anOlderDocumentTypeIsDroppedWhereverItStands()
    {
        QFETCH(QByteArray, prolog);
        const Opened opened("<?xml version=\"1.0\"?>\n" + prolog +
                            "<rss version=\"0.91\"><channel><title>Old</title></channel></rss>\n");
        QVERIFY(opened.feed);
        const QByteArray saved = opened.saved();
        QVERIFY2(readFeed(saved).feed, saved.constData());
        QVERIFY2(!saved.contains("<!DOCTYPE rss SYSTEM"), saved.constData());
        // A comment before it is kept as it was.
        const qsizetype doctype = prolog.lastIndexOf("<!DOCTYPE");
        QVERIFY2(saved.contains(prolog.first(doctype)), saved.constData());
    }

    void aFeedNotValidInItsEncodingIsRefused()
    {
        const FeedReadResult read =
            readFeed("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><rss version=\"2.0\">"
                     "<channel><title>\x85\x40</title></channel></rss>"_ba);
        QVERIFY(!read.feed);
        QCOMPARE(read.problem, u"Its text is not valid Shift_JIS."_s);
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
