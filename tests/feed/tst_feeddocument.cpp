#include "feed/feeddocument.h"
#include "tests/feed/feedfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Written out independently of the code under test: these are the bytes a reader receives.
const QByteArray headerBytes = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?> \r\n"
                               "<rss version=\"2.0\""
                               " xmlns:content=\"http://purl.org/rss/1.0/modules/content/\""
                               " xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
                               " xmlns:itunes=\"http://www.itunes.com/dtds/podcast-1.0.dtd\">\r\n"
                               "<channel>\r\n";
const QByteArray endOfFile = "</channel>\r\n</rss>\r\n\r\n";

const ChannelFields weeklyChannel{u"Parlora Weekly"_s, u"Ada Lovelace"_s, u"Spoken articles."_s,
                                  u"https://example.org/"_s};
const QByteArray weeklyChannelLines = "<title>Parlora Weekly</title>\r\n"
                                      "<itunes:author>Ada Lovelace</itunes:author>\r\n"
                                      "<description>Spoken articles.</description>\r\n"
                                      "<link>https://example.org/</link>";

const QByteArray firstItemLines = "\r\n<item><title>First</title>\r\n"
                                  "<description>About First</description>\r\n"
                                  "<link>https://example.org/episodes/first</link>\r\n"
                                  "<pubDate>Sun, 06 Dec 2026 03:05:09 GMT</pubDate>\r\n"
                                  "<dc:creator>Ada Lovelace</dc:creator>\r\n"
                                  "<enclosure url='https://example.org/audio/first.wav' length='1,234,567' "
                                  "type='audio/wav' />\r\n"
                                  "</item>";

} // namespace

class TestFeedDocument : public QObject
{
    Q_OBJECT

private slots:
    void headerTemplateHasThreeExactLines();
    void footerTemplateClosesChannelAndRss();
    void savedFileMatchesGolden_data();
    void savedFileMatchesGolden();
    void savedFileIsUtf8WithoutByteOrderMark();
};

void TestFeedDocument::headerTemplateHasThreeExactLines()
{
    const QString header = feedHeaderTemplate();
    QCOMPARE(header.toUtf8(), headerBytes);
    QCOMPARE(header.size(), 233);

    const QStringList lines = header.split(u"\r\n"_s);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0).size(), 40);
    QVERIFY(lines.at(0).endsWith(u"?> "_s));
    QCOMPARE(lines.at(1).size(), 178);
    QCOMPARE(lines.at(2).size(), 9);
    QVERIFY(lines.at(3).isEmpty());
}

void TestFeedDocument::footerTemplateClosesChannelAndRss()
{
    QCOMPARE(feedFooterTemplate(), u"</channel>\r\n</rss>\r\n"_s);
    QCOMPARE(feedFooterTemplate().size(), 20);
}

void TestFeedDocument::savedFileMatchesGolden_data()
{
    QTest::addColumn<FeedFields>("feed");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("no items: the link line runs into </channel>")
        << FeedFields{weeklyChannel, {}} << headerBytes + weeklyChannelLines + endOfFile;

    QTest::newRow("one item: sixteen lines")
        << FeedFields{weeklyChannel, {sampleItem(u"First"_s, u"Ada Lovelace"_s)}}
        << headerBytes + weeklyChannelLines + firstItemLines + endOfFile;

    QTest::newRow("two items: only the last </item> shares a line with </channel>")
        << FeedFields{weeklyChannel,
                      {sampleItem(u"First"_s, u"Ada Lovelace"_s), sampleItem(u"Second"_s, u"Grace Hopper"_s)}}
        << headerBytes + weeklyChannelLines + firstItemLines +
               "\r\n<item><title>Second</title>\r\n"
               "<description>About Second</description>\r\n"
               "<link>https://example.org/episodes/second</link>\r\n"
               "<pubDate>Sun, 06 Dec 2026 03:05:09 GMT</pubDate>\r\n"
               "<dc:creator>Grace Hopper</dc:creator>\r\n"
               "<enclosure url='https://example.org/audio/second.wav' length='1,234,567' "
               "type='audio/wav' />\r\n"
               "</item>" +
               endOfFile;

    QTest::newRow("empty author gives empty elements")
        << FeedFields{{u"T"_s, QString(), u"D"_s, u"L"_s}, {sampleItem(u"First"_s, QString())}}
        << headerBytes +
               "<title>T</title>\r\n<itunes:author></itunes:author>\r\n<description>D</description>\r\n"
               "<link>L</link>" +
               QByteArray(firstItemLines)
                   .replace("<dc:creator>Ada Lovelace</dc:creator>", "<dc:creator></dc:creator>") +
               endOfFile;

    QTest::newRow("empty item values give empty elements and attributes")
        << FeedFields{weeklyChannel, {FeedItem{}}}
        << headerBytes + weeklyChannelLines +
               "\r\n<item><title></title>\r\n<description></description>\r\n<link></link>\r\n"
               "<pubDate></pubDate>\r\n<dc:creator></dc:creator>\r\n"
               "<enclosure url='' length='' type='' />\r\n</item>" +
               endOfFile;

    FeedItem multiLineItem = sampleItem(u"First"_s, u"Ada Lovelace"_s);
    multiLineItem.description = u"Typed with CR LF\r\nand a second line"_s;
    QTest::newRow("multi-line descriptions span several CR LF lines")
        << FeedFields{{u"T"_s, u"A"_s, u"Line one\nLine two\n\nLine four\n"_s, u"L"_s}, {multiLineItem}}
        << headerBytes +
               "<title>T</title>\r\n<itunes:author>A</itunes:author>\r\n"
               "<description>Line one\r\nLine two\r\n\r\nLine four\r\n</description>\r\n<link>L</link>" +
               QByteArray(firstItemLines).replace("About First", "Typed with CR LF\r\nand a second line") +
               endOfFile;

    const FeedItem specialItem{u"Q&A: 'quotes' and \"marks\""_s,
                               u"1 < 2 > 0 & <b>not bold</b>"_s,
                               u"https://example.org/?a=1&b=2"_s,
                               u"Sun, 06 Dec 2026 03:05:09 GMT"_s,
                               u"O'Brien & \"Sons\""_s,
                               u"https://example.org/a.wav?x=1&y='2'&z=\"3\"<>"_s,
                               u"1'000"_s,
                               u"audio/wav; codecs=\"1\""_s};
    QTest::newRow("ampersand, angle brackets and quotes are escaped")
        << FeedFields{{u"Tom & Jerry <Live>"_s, u"O'Brien & \"Sons\""_s, u"a < b > c"_s,
                       u"https://example.org/?a=1&b=2"_s},
                      {specialItem}}
        << headerBytes +
               "<title>Tom &amp; Jerry &lt;Live&gt;</title>\r\n"
               "<itunes:author>O'Brien &amp; \"Sons\"</itunes:author>\r\n"
               "<description>a &lt; b &gt; c</description>\r\n"
               "<link>https://example.org/?a=1&amp;b=2</link>"
               "\r\n<item><title>Q&amp;A: 'quotes' and \"marks\"</title>\r\n"
               "<description>1 &lt; 2 &gt; 0 &amp; &lt;b&gt;not bold&lt;/b&gt;</description>\r\n"
               "<link>https://example.org/?a=1&amp;b=2</link>\r\n"
               "<pubDate>Sun, 06 Dec 2026 03:05:09 GMT</pubDate>\r\n"
               "<dc:creator>O'Brien &amp; \"Sons\"</dc:creator>\r\n"
               "<enclosure url='https://example.org/a.wav?x=1&amp;y=&apos;2&apos;"
               "&amp;z=&quot;3&quot;&lt;&gt;' "
               "length='1&apos;000' type='audio/wav; codecs=&quot;1&quot;' />\r\n"
               "</item>" +
               endOfFile;

    const FeedItem spacedItem{u" First "_s,
                              u"  About  "_s,
                              u" https://example.org/1 "_s,
                              u" Sun, 06 Dec 2026 03:05:09 GMT "_s,
                              u" Ada "_s,
                              u" https://example.org/a.wav "_s,
                              u" 12 "_s,
                              u" audio/wav "_s};
    QTest::newRow("leading and trailing spaces are kept")
        << FeedFields{{u"  Weekly "_s, u" Ada "_s, u" Spoken "_s, u" https://example.org/ "_s}, {spacedItem}}
        << headerBytes +
               "<title>  Weekly </title>\r\n<itunes:author> Ada </itunes:author>\r\n"
               "<description> Spoken </description>\r\n<link> https://example.org/ </link>"
               "\r\n<item><title> First </title>\r\n<description>  About  </description>\r\n"
               "<link> https://example.org/1 </link>\r\n"
               "<pubDate> Sun, 06 Dec 2026 03:05:09 GMT </pubDate>\r\n"
               "<dc:creator> Ada </dc:creator>\r\n"
               "<enclosure url=' https://example.org/a.wav ' length=' 12 ' type=' audio/wav ' />\r\n</item>" +
               endOfFile;

    QTest::newRow("non-ASCII characters become UTF-8 bytes")
        << FeedFields{{u"Café Zürich – 日本語 🎙"_s, u"Zoë Muñoz"_s, u"D"_s, u"L"_s},
                      {sampleItem(u"Café"_s, u"Zoë Muñoz"_s)}}
        << headerBytes +
               "<title>Caf\xC3\xA9 Z\xC3\xBCrich \xE2\x80\x93 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E "
               "\xF0\x9F\x8E\x99</title>\r\n"
               "<itunes:author>Zo\xC3\xAB Mu\xC3\xB1oz</itunes:author>\r\n"
               "<description>D</description>\r\n<link>L</link>"
               "\r\n<item><title>Caf\xC3\xA9</title>\r\n"
               "<description>About Caf\xC3\xA9</description>\r\n"
               "<link>https://example.org/episodes/caf\xC3\xA9</link>\r\n"
               "<pubDate>Sun, 06 Dec 2026 03:05:09 GMT</pubDate>\r\n"
               "<dc:creator>Zo\xC3\xAB Mu\xC3\xB1oz</dc:creator>\r\n"
               "<enclosure url='https://example.org/audio/caf\xC3\xA9.wav' length='1,234,567' "
               "type='audio/wav' />\r\n</item>" +
               endOfFile;
}

void TestFeedDocument::savedFileMatchesGolden()
{
    QFETCH(FeedFields, feed);
    QFETCH(QByteArray, expected);

    const QByteArray actual = savedFeedBytes(feed);
    // Line by line first, so a failure names the line; then every byte, CRs included.
    QCOMPARE(actual.split('\n'), expected.split('\n'));
    QCOMPARE(actual, expected);
}

void TestFeedDocument::savedFileIsUtf8WithoutByteOrderMark()
{
    QCOMPARE(feedFileBytes(u"é"_s), QByteArray("\xC3\xA9\r\n"));
    QVERIFY(!savedFeedBytes(FeedFields{weeklyChannel, {}}).startsWith("\xEF\xBB\xBF"));
}

QTEST_APPLESS_MAIN(TestFeedDocument)
#include "tst_feeddocument.moc"
