// Feeds we write must be accepted by a real XML parser and a real feed reader library.
#include "feed/publishedfeed.h"
#include "feed/rfc822date.h"
#include "tests/feed/feedfixture.h"
#include "tests/support/filecontents.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Debian's feedparser package is installed for the system interpreter only.
const QString systemPython = u"/usr/bin/python3"_s;

struct ToolRun
{
    bool finished = false;
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

[[nodiscard]] ToolRun runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    run.finished = process.waitForFinished(60'000) && process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    return run;
}

// Feed readers hand out element text with XML line ends (LF) and without surrounding whitespace.
[[nodiscard]] QString asReaderSees(QString text)
{
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    return text.trimmed();
}

[[nodiscard]] FeedItem itemDatedNow(const QString &title, const QString &author)
{
    FeedItem item = sampleItem(title, author);
    item.date = rfc822Date(QDateTime(QDate(2026, 12, 6), QTime(3, 5, 9), Qt::UTC));
    return item;
}

const ChannelFields weeklyChannel{u"Parlora Weekly"_s, u"Ada Lovelace"_s, u"Spoken articles."_s,
                                  u"https://example.org/"_s};

} // namespace

class TestFeedReaderAcceptance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readerSeesWhatWasTyped_data();
    void readerSeesWhatWasTyped();
    void readerSeesEveryPublishingDetail();

private:
    QString m_xmllint;
    QString m_readFeedScript;
};

void TestFeedReaderAcceptance::initTestCase()
{
    m_xmllint = QStandardPaths::findExecutable(u"xmllint"_s);
    QVERIFY2(!m_xmllint.isEmpty(), "xmllint is missing (package libxml2-utils)");
    QVERIFY2(QFileInfo(systemPython).isExecutable(), "/usr/bin/python3 is missing (package python3)");
    const ToolRun import = runTool(systemPython, {u"-c"_s, u"import feedparser"_s});
    QVERIFY2(import.finished && import.exitCode == 0,
             qPrintable(u"feedparser is missing (package python3-feedparser): "_s +
                        QString::fromUtf8(import.errors)));
    m_readFeedScript = QFINDTESTDATA("readfeed.py");
    QVERIFY(!m_readFeedScript.isEmpty());
}

void TestFeedReaderAcceptance::readerSeesWhatWasTyped_data()
{
    QTest::addColumn<FeedFields>("typed");
    // What the reader should see before its own trimming; differs from typed only where
    // characters cannot be written at all.
    QTest::addColumn<FeedFields>("written");

    const auto unchanged = [](const char *name, const FeedFields &feed) {
        QTest::newRow(name) << feed << feed;
    };

    unchanged("channel without items", FeedFields{weeklyChannel, {}});
    unchanged("one item", FeedFields{weeklyChannel, {itemDatedNow(u"First"_s, u"Ada Lovelace"_s)}});
    unchanged("two items in the order added", FeedFields{weeklyChannel,
                                                         {itemDatedNow(u"First"_s, u"Ada Lovelace"_s),
                                                          itemDatedNow(u"Second"_s, u"Grace Hopper"_s)}});
    unchanged("empty author", FeedFields{{u"T"_s, QString(), u"D"_s, u"https://example.org/"_s},
                                         {itemDatedNow(u"First"_s, QString())}});

    FeedItem special = itemDatedNow(u"Q&A: 1 < 2 > 0, 'single' and \"double\""_s, u"O'Brien & \"Sons\""_s);
    special.description = u"Fish & chips <3 'quoted' \"text\" a<b"_s;
    special.link = u"https://example.org/?a=1&b='2'"_s;
    special.enclosureUrl = u"https://example.org/a.wav?x=1&y='2'&z=\"3\"<>"_s;
    special.enclosureLength = u"1'234'567"_s;
    special.enclosureType = u"audio/wav; codecs=\"1\""_s;
    unchanged("ampersand, angle brackets and quotes",
              FeedFields{{u"Tom & Jerry > Tweety"_s, u"O'Brien & \"Sons\""_s, u"a < b & c > d"_s,
                          u"https://example.org/?a=1&b=2"_s},
                         {special}});

    unchanged("non-ASCII characters", FeedFields{{u"Café Zürich – 日本語 🎙"_s, u"Zoë Ñúñez"_s,
                                                  u"Grüße"_s, u"https://example.org/"_s},
                                                 {itemDatedNow(u"Ünïcödé 🎧"_s, u"Zoë Ñúñez"_s)}});

    FeedItem multiLine = itemDatedNow(u"First"_s, u"Ada"_s);
    multiLine.description = u"Line one\r\nLine two\nLine three\rLine four"_s;
    unchanged(
        "multi-line descriptions",
        FeedFields{{u"T"_s, u"Ada"_s, u"Line one\n\nLine three"_s, u"https://example.org/"_s}, {multiLine}});

    FeedItem spaced = itemDatedNow(u"  First  "_s, u" Ada "_s);
    spaced.enclosureType = u" audio/wav "_s;
    unchanged("spaces around values",
              FeedFields{{u"  Weekly  "_s, u" Ada "_s, u" Spoken "_s, u"https://example.org/"_s}, {spaced}});

    FeedItem withControls = itemDatedNow(u"Fi\x01rst\uFFFF"_s, u"Ada"_s);
    withControls.enclosureUrl = u"https://example.org/a\x1B.wav"_s;
    FeedItem withoutControls = itemDatedNow(u"First"_s, u"Ada"_s);
    withoutControls.enclosureUrl = u"https://example.org/a.wav"_s;
    QTest::newRow("characters XML cannot carry are left out")
        << FeedFields{{u"Week\x08ly"_s, u"Ada"_s, u"D\x0C"_s, u"https://example.org/"_s}, {withControls}}
        << FeedFields{{u"Weekly"_s, u"Ada"_s, u"D"_s, u"https://example.org/"_s}, {withoutControls}};
}

void TestFeedReaderAcceptance::readerSeesWhatWasTyped()
{
    QFETCH(FeedFields, typed);
    QFETCH(FeedFields, written);

    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = writeFile(directory.filePath(u"feed.xml"_s), savedFeedBytes(typed));

    const ToolRun lint = runTool(m_xmllint, {u"--noout"_s, path});
    QVERIFY2(lint.finished && lint.exitCode == 0 && lint.errors.isEmpty(), lint.errors.constData());

    const ToolRun reader = runTool(systemPython, {m_readFeedScript, path});
    QVERIFY2(reader.finished && reader.exitCode == 0, reader.errors.constData());
    QJsonParseError jsonError;
    const QJsonObject seen = QJsonDocument::fromJson(reader.output, &jsonError).object();
    QVERIFY2(jsonError.error == QJsonParseError::NoError, qPrintable(jsonError.errorString()));

    QVERIFY2(!seen.value("bozo"_L1).toBool(), qPrintable(seen.value("bozoException"_L1).toString()));
    QCOMPARE(seen.value("version"_L1).toString(), u"rss20"_s);
    QCOMPARE(seen.value("title"_L1).toString(), asReaderSees(written.channel.title));
    QCOMPARE(seen.value("author"_L1).toString(), asReaderSees(written.channel.author));
    QCOMPARE(seen.value("description"_L1).toString(), asReaderSees(written.channel.description));
    QCOMPARE(seen.value("link"_L1).toString(), asReaderSees(written.channel.link));

    const QJsonArray items = seen.value("items"_L1).toArray();
    QCOMPARE(items.size(), written.items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QJsonObject item = items.at(i).toObject();
        const FeedItem &expected = written.items.at(i);
        QCOMPARE(item.value("title"_L1).toString(), asReaderSees(expected.title));
        QCOMPARE(item.value("description"_L1).toString(), asReaderSees(expected.description));
        QCOMPARE(item.value("link"_L1).toString(), asReaderSees(expected.link));
        QCOMPARE(item.value("date"_L1).toString(), asReaderSees(expected.date));
        QCOMPARE(item.value("dateParsed"_L1).toArray(), (QJsonArray{2026, 12, 6, 3, 5, 9}));
        QCOMPARE(item.value("author"_L1).toString(), asReaderSees(expected.author));

        const QJsonArray enclosures = item.value("enclosures"_L1).toArray();
        QCOMPARE(enclosures.size(), 1);
        const QJsonObject enclosure = enclosures.at(0).toObject();
        QCOMPARE(enclosure.value("url"_L1).toString(), expected.enclosureUrl);
        QCOMPARE(enclosure.value("length"_L1).toString(), expected.enclosureLength);
        QCOMPARE(enclosure.value("type"_L1).toString(), expected.enclosureType);
    }
}

void TestFeedReaderAcceptance::readerSeesEveryPublishingDetail()
{
    const PublishingDetails details{u"pt-BR"_s,
                                    u"https://example.org/art.jpg"_s,
                                    u"Society & Culture"_s,
                                    u"Places & Travel"_s,
                                    true,
                                    u"Ada Lovelace"_s,
                                    u"ada@example.org"_s,
                                    u"https://example.org/feed.xml"_s};
    ItemStore items;
    FeedItem item = itemDatedNow(u"First"_s, u"Ada"_s);
    item.duration = u"754"_s;
    items.append(item);
    QTemporaryDir directory;
    QFile file(directory.filePath(u"feed.xml"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(feedFileBytes(publishedFeedDocument(weeklyChannel, details, items)));
    file.close();

    const ToolRun reader = runTool(systemPython, {m_readFeedScript, file.fileName()});
    QVERIFY2(reader.finished && reader.exitCode == 0, reader.errors.constData());
    const QJsonObject seen = QJsonDocument::fromJson(reader.output).object();
    QVERIFY2(!seen.value("bozo"_L1).toBool(), qPrintable(seen.value("bozoException"_L1).toString()));
    QCOMPARE(seen.value("language"_L1).toString(), u"pt-BR"_s);
    QCOMPARE(seen.value("image"_L1).toString(), details.artworkUrl);
    QCOMPARE(seen.value("categories"_L1).toArray(), (QJsonArray{details.category, details.subcategory}));
    QCOMPARE(seen.value("owner"_L1).toArray(), (QJsonArray{details.ownerName, details.ownerEmail}));
    QCOMPARE(seen.value("self"_L1).toArray(), QJsonArray{details.feedUrl});
    const QJsonObject first = seen.value("items"_L1).toArray().at(0).toObject();
    QCOMPARE(first.value("guid"_L1).toString(), item.enclosureUrl);
    QCOMPARE(first.value("guidIsLink"_L1).toBool(), false);
    QCOMPARE(first.value("duration"_L1).toString(), u"754"_s);
}

QTEST_GUILESS_MAIN(TestFeedReaderAcceptance)
#include "tst_feedreaderacceptance.moc"
