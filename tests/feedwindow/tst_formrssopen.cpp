#include "tests/feedwindow/feedwindowfixture.h"
#include "tests/support/filecontents.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Another program's feed: other prefixes, CDATA, character references, extensions.
const QByteArray OtherToolsFeed =
    "<?xml version='1.0' encoding='UTF-8'?>\n"
    "<rss xmlns:i='http://www.itunes.com/dtds/podcast-1.0.dtd' xmlns:a='http://www.w3.org/2005/Atom'\n"
    "     xmlns:c='http://purl.org/dc/elements/1.1/' xmlns:podcast='https://podcastindex.org/namespace/1.0' "
    "version='2.0'>\n"
    "  <channel>\n"
    "    <title><![CDATA[Tom & Jerry <Live>]]></title>\n"
    "    <description>Caf&#233; &amp; more &#x1F399;</description>\n"
    "    <link>https://example.org/</link>\n"
    "    <language>de</language>\n"
    "    <i:author>Ada</i:author>\n"
    "    <i:image href='https://example.org/art.png'/>\n"
    "    <i:category text='Technology'/>\n"
    "    <i:explicit>yes</i:explicit>\n"
    "    <a:link href='https://example.org/feed.xml' rel='self' type='application/rss+xml'/>\n"
    "    <podcast:locked>no</podcast:locked>\n"
    "    <item>\n"
    "      <title>One</title>\n"
    "      <description><![CDATA[<p>Hi</p>]]></description>\n"
    "      <c:creator>Grace</c:creator>\n"
    "      <enclosure url='https://example.org/1.mp3' length='123' type='audio/mpeg'/>\n"
    "      <guid>abc-1</guid>\n"
    "      <i:duration>00:05:00</i:duration>\n"
    "      <i:summary>x</i:summary>\n"
    "    </item>\n"
    "  </channel>\n"
    "</rss>\n";

} // namespace

// File, "&Open feed...": reading feeds, the round trip, and what is asked before work is lost.
class TestFormRssOpen : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FeedWindowFixture> m_feed;
    QTemporaryDir m_folder;

    FormRss &window() { return m_feed->window(); }
    QStringList &messages() { return m_feed->messages(); }
    QString write(const QString &name, const QByteArray &bytes)
    {
        return writeFile(m_folder.filePath(name), bytes);
    }
    void open(const QString &path)
    {
        m_feed->test().fileDialogs.answer(path);
        window().opn_Click();
    }
    QByteArray save(const QString &name)
    {
        m_feed->test().fileDialogs.answer(m_folder.filePath(name));
        window().Command1_Click();
        return contentsOf(m_folder.filePath(name));
    }
    void addItem(const QString &title)
    {
        m_feed->fillItem(title);
        window().Command2_Click();
    }

private Q_SLOTS:
    void init()
    {
        m_feed = std::make_unique<FeedWindowFixture>();
        m_feed->fillAll();
    }
    void cleanup() { m_feed.reset(); }

    void aSavedFeedOpensAndSavesAgainByteForByte_data()
    {
        QTest::addColumn<bool>("details");
        QTest::newRow("without details") << false;
        QTest::newRow("with every detail") << true;
    }
    void aSavedFeedOpensAndSavesAgainByteForByte()
    {
        QFETCH(bool, details);
        if (details)
            m_feed->fillDetails();
        m_feed->setValue(u"channel description"_s, u"Two lines\nwith <tags> & 'quotes'"_s);
        addItem(u"Episode 1"_s);
        m_feed->setValue(u"enclosure address"_s, u"https://example.org/a.mp3?x=1&y='2'"_s);
        addItem(u" Caf\u00e9 \"2\" "_s);
        const QByteArray first = save(u"first.xml"_s);

        m_feed = std::make_unique<FeedWindowFixture>(FeedWindowFixture::defaultNow().addDays(7));
        m_feed->fillEnclosure();
        open(m_folder.filePath(u"first.xml"_s));
        QCOMPARE(messages(),
                 QStringList{u"Read 2 episodes from %1."_s.arg(m_folder.filePath(u"first.xml"_s))});
        QCOMPARE(window().dc.FileName, m_folder.filePath(u"first.xml"_s));
        QCOMPARE(m_feed->value(u"item date"_s), u"Sun, 13 Dec 2026 03:05:09 GMT"_s);
        QCOMPARE(save(u"second.xml"_s), first);

        // The next episode goes after the opened ones.
        addItem(u"Episode 3"_s);
        const QByteArray third = save(u"third.xml"_s);
        QVERIFY(third.startsWith(first.left(first.indexOf("</item></channel>") + 7)));
        QVERIFY(third.contains("<item><title>Episode 3</title>"));
    }

    void feedsOfOtherToolsOpen()
    {
        m_feed->test().messageBox.answers.push_back(SaveAnswer::Discard);
        open(write(u"other.xml"_s, OtherToolsFeed));
        QCOMPARE(m_feed->value(u"channel title"_s), u"Tom & Jerry <Live>"_s);
        QCOMPARE(m_feed->value(u"channel description"_s), u"Caf\u00e9 & more \U0001F399"_s);
        QCOMPARE(m_feed->value(u"channel author"_s), u"Ada"_s);
        QCOMPARE(m_feed->value(u"item title"_s), QString());
        const PublishingDetails details = window().publishingDetails().value_or(PublishingDetails{});
        QCOMPARE(details, (PublishingDetails{u"de"_s,
                                             u"https://example.org/art.png"_s,
                                             u"Technology"_s,
                                             {},
                                             true,
                                             {},
                                             {},
                                             u"https://example.org/feed.xml"_s}));
        QCOMPARE(window().Text7.items(), (QList<FeedItem>{{u"One"_s,
                                                           u"<p>Hi</p>"_s,
                                                           {},
                                                           {},
                                                           u"Grace"_s,
                                                           u"https://example.org/1.mp3"_s,
                                                           u"123"_s,
                                                           u"audio/mpeg"_s,
                                                           u"abc-1"_s,
                                                           u"00:05:00"_s}}));
        QCOMPARE(messages().join(u'|'), u"Read 1 episode from %1."_s.arg(m_folder.filePath(u"other.xml"_s)));

        open(write(u"latin1.xml"_s,
                   "<?xml version='1.0' encoding='ISO-8859-1'?>\n<rss version='2.0'><channel>"
                   "<title>Caf\xe9</title></channel></rss>"));
        QCOMPARE(m_feed->value(u"channel title"_s), u"Caf\u00e9"_s);
        QVERIFY(window().Text7.isEmpty());
    }

    void aBrokenOrForeignFileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("mismatched tags")
            << QByteArray("<rss version='2.0'><channel>\n<title>T</titel>")
            << u"not well-formed XML: Opening and ending tag mismatch. (line 2)"_s;
        QTest::newRow("HTML entity") << QByteArray("<rss version='2.0'>\n\n<channel><title>&nbsp;</title>")
                                     << u"not well-formed XML"_s;
        QTest::newRow("empty file") << QByteArray() << u"not well-formed XML"_s;
        QTest::newRow("Atom feed")
            << QByteArray("<?xml version='1.0'?>\n<feed xmlns='http://www.w3.org/2005/Atom'/>")
            << u"not an RSS feed: its root element is <feed>, not <rss>. (line 2)"_s;
        QTest::newRow("unknown version") << QByteArray("<rss version='3.0'><channel/></rss>")
                                         << u"version \"3.0\""_s;
        QTest::newRow("empty channel") << QByteArray("<rss version='2.0'><channel/></rss>")
                                       << u"its channel element is empty."_s;
        QTest::newRow("no channel") << QByteArray("<rss version='2.0'/>") << u"holds no channel. (line 1)"_s;
    }
    void aBrokenOrForeignFileChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        window().Command2_Click();
        const QStringList before = m_feed->snapshot();
        m_feed->test().messageBox.answers.push_back(SaveAnswer::Discard);
        open(write(u"broken.xml"_s, bytes));
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().contains(reason), qPrintable(messages().first()));
        QCOMPARE(m_feed->snapshot(), before);
    }

    void closingWithUnsavedWorkAsks_data()
    {
        QTest::addColumn<SaveAnswer>("answer");
        QTest::newRow("Save") << SaveAnswer::Save;
        QTest::newRow("Discard") << SaveAnswer::Discard;
        QTest::newRow("Cancel") << SaveAnswer::Cancel;
    }
    void closingWithUnsavedWorkAsks()
    {
        QFETCH(SaveAnswer, answer);
        window().show();
        window().Command2_Click();
        const QString path = m_folder.filePath(QString::fromLatin1(QTest::currentDataTag()));
        m_feed->test().messageBox.answers.push_back(answer);
        m_feed->test().fileDialogs.answer(path);
        const bool closed = window().close();
        QCOMPARE(m_feed->test().messageBox.questions, QStringList{u"Save the feed before closing?"_s});
        QCOMPARE(closed, answer != SaveAnswer::Cancel);
        QCOMPARE(QFile::exists(path), answer == SaveAnswer::Save);
        QCOMPARE(window().Text7.items().size(), 1);

        QCOMPARE(window().isVisible(), answer == SaveAnswer::Cancel);
        // Once saved, there is nothing more to ask.
        window().show();
        QCOMPARE(window().close(), answer == SaveAnswer::Save);
    }

    void openingOverUnsavedWorkAsksFirstAndCancelKeepsIt_data()
    {
        QTest::addColumn<bool>("added");
        QTest::newRow("an added item") << true;
        QTest::newRow("a typed item") << false;
    }
    void openingOverUnsavedWorkAsksFirstAndCancelKeepsIt()
    {
        QFETCH(bool, added);
        if (added)
            window().Command2_Click();
        const QStringList before = m_feed->snapshot();
        open(write(u"other.xml"_s, OtherToolsFeed));
        QCOMPARE(m_feed->test().messageBox.questions, QStringList{u"Save the feed before opening another?"_s});
        // No file dialog came: the question is answered before a file is chosen.
        QVERIFY(m_feed->test().fileDialogs.shown.isEmpty());
        QCOMPARE(m_feed->snapshot(), before);
    }

    void thePlaceholderAddressRefusesTheItem()
    {
        m_feed->setValue(u"enclosure address"_s, u"(Actual URL for wav file here)"_s);
        window().Command2_Click();
        QCOMPARE(messages(),
                 QStringList{u"Replace \"(Actual URL for wav file here)\" in Podcast file/Url with the "
                             "sound file's public address first."_s});
        QVERIFY(window().Text7.isEmpty());
    }
};

QTEST_MAIN(TestFormRssOpen)
#include "tst_formrssopen.moc"
