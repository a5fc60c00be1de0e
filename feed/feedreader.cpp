#include "feed/feedreader.h"

#include <QSet>
#include <QXmlStreamReader>

namespace {

constexpr QStringView ItunesNamespace = u"http://www.itunes.com/dtds/podcast-1.0.dtd";
constexpr QStringView DublinCoreNamespace = u"http://purl.org/dc/elements/1.1/";
constexpr QStringView AtomNamespace = u"http://www.w3.org/2005/Atom";

[[nodiscard]] bool isYes(const QString &text)
{
    const QString value = text.trimmed().toLower();
    return value == u"true" || value == u"yes" || value == u"explicit";
}

// One pass over the document with a stream reader: a feed of tens of megabytes is read
// without building a tree of it.
class FeedReader final
{
public:
    explicit FeedReader(const QByteArray &bytes) : m_xml(bytes) {}

    [[nodiscard]] FeedReadResult read();

private:
    void readChannel(OpenedFeed &feed);
    [[nodiscard]] FeedItem readItem();
    void readCategory(PublishingDetails &details);
    void readOwner(PublishingDetails &details);
    [[nodiscard]] QString attribute(QLatin1String name) const
    {
        return m_xml.attributes().value(name).toString();
    }
    [[nodiscard]] QString text() { return m_xml.readElementText(QXmlStreamReader::IncludeChildElements); }
    [[nodiscard]] PublishingDetails &details();
    // Skips the current element, noting its name as a part the window does not keep.
    void leaveOut();
    [[nodiscard]] FeedReadResult failure(const QString &problem, qint64 line) const;
    [[nodiscard]] FeedReadResult malformed() const;

    QXmlStreamReader m_xml;
    std::optional<PublishingDetails> m_details;
    QStringList m_unkept;
    QSet<QString> m_unkeptNames;
    bool m_haveCategory = false;
};

FeedReadResult FeedReader::read()
{
    while (!m_xml.atEnd() && !m_xml.isStartElement())
        m_xml.readNext();
    if (m_xml.hasError())
        return malformed();
    const qint64 rootLine = m_xml.lineNumber();
    if (m_xml.name() != u"rss" || !m_xml.namespaceUri().isEmpty())
        return failure(QStringLiteral("It is not an RSS 2.0 feed: its root element is <%1>, not <rss>.")
                           .arg(m_xml.qualifiedName()),
                       rootLine);
    if (m_xml.attributes().value(QLatin1String("version")) != u"2.0")
        return failure(
            QStringLiteral("It is not an RSS 2.0 feed: its rss element has version \"%1\", not \"2.0\".")
                .arg(m_xml.attributes().value(QLatin1String("version"))),
            rootLine);

    OpenedFeed feed;
    bool haveChannel = false;
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"channel" && m_xml.namespaceUri().isEmpty() && !haveChannel) {
            haveChannel = true;
            readChannel(feed);
        } else {
            leaveOut();
        }
    }
    // Whatever follows the root element must be well-formed too.
    while (!m_xml.atEnd())
        m_xml.readNext();
    if (m_xml.hasError())
        return malformed();
    if (!haveChannel)
        return failure(QStringLiteral("It is not an RSS 2.0 feed: its rss element holds no channel."),
                       rootLine);
    feed.details = m_details;
    feed.unkeptParts = m_unkept;
    return {std::move(feed), {}, 0};
}

void FeedReader::readChannel(OpenedFeed &feed)
{
    while (m_xml.readNextStartElement()) {
        const QStringView space = m_xml.namespaceUri();
        const QStringView name = m_xml.name();
        if (space.isEmpty() && name == u"item")
            feed.items.append(readItem());
        else if (space.isEmpty() && name == u"title")
            feed.channel.title = text();
        else if (space.isEmpty() && name == u"description")
            feed.channel.description = text();
        else if (space.isEmpty() && name == u"link")
            feed.channel.link = text();
        else if (space.isEmpty() && name == u"language")
            details().language = text();
        else if (space == ItunesNamespace && name == u"author")
            feed.channel.author = text();
        else if (space == ItunesNamespace && name == u"image" && details().artworkUrl.isEmpty()) {
            details().artworkUrl = attribute(QLatin1String("href"));
            m_xml.skipCurrentElement();
        } else if (space == ItunesNamespace && name == u"category" && !m_haveCategory)
            readCategory(details());
        else if (space == ItunesNamespace && name == u"explicit")
            details().explicitContent = isYes(text());
        else if (space == ItunesNamespace && name == u"owner")
            readOwner(details());
        else if (space == AtomNamespace && name == u"link" && attribute(QLatin1String("rel")) == u"self" &&
                 details().feedUrl.isEmpty()) {
            details().feedUrl = attribute(QLatin1String("href"));
            m_xml.skipCurrentElement();
        } else
            leaveOut();
    }
}

FeedItem FeedReader::readItem()
{
    FeedItem item;
    QString otherAuthor;
    bool haveEnclosure = false;
    while (m_xml.readNextStartElement()) {
        const QStringView space = m_xml.namespaceUri();
        const QStringView name = m_xml.name();
        if (space.isEmpty() && name == u"title")
            item.title = text();
        else if (space.isEmpty() && name == u"description")
            item.description = text();
        else if (space.isEmpty() && name == u"link")
            item.link = text();
        else if (space.isEmpty() && name == u"pubDate")
            item.date = text();
        else if (space.isEmpty() && name == u"guid")
            item.guid = text();
        else if (space.isEmpty() && name == u"enclosure" && !haveEnclosure) {
            haveEnclosure = true;
            item.enclosureUrl = attribute(QLatin1String("url"));
            item.enclosureLength = attribute(QLatin1String("length"));
            item.enclosureType = attribute(QLatin1String("type"));
            m_xml.skipCurrentElement();
        } else if (space == DublinCoreNamespace && name == u"creator")
            item.author = text();
        else if ((space.isEmpty() || space == ItunesNamespace) && name == u"author")
            otherAuthor = text();
        else if (space == ItunesNamespace && name == u"duration")
            item.duration = text();
        else
            leaveOut();
    }
    if (item.author.isEmpty())
        item.author = otherAuthor;
    return item;
}

void FeedReader::readCategory(PublishingDetails &details)
{
    m_haveCategory = true;
    details.category = attribute(QLatin1String("text"));
    while (m_xml.readNextStartElement()) {
        if (m_xml.namespaceUri() == ItunesNamespace && m_xml.name() == u"category" &&
            details.subcategory.isEmpty()) {
            details.subcategory = attribute(QLatin1String("text"));
            m_xml.skipCurrentElement();
        } else {
            leaveOut();
        }
    }
}

void FeedReader::readOwner(PublishingDetails &details)
{
    while (m_xml.readNextStartElement()) {
        if (m_xml.namespaceUri() == ItunesNamespace && m_xml.name() == u"name")
            details.ownerName = text();
        else if (m_xml.namespaceUri() == ItunesNamespace && m_xml.name() == u"email")
            details.ownerEmail = text();
        else
            leaveOut();
    }
}

PublishingDetails &FeedReader::details()
{
    if (!m_details)
        m_details.emplace();
    return *m_details;
}

void FeedReader::leaveOut()
{
    const QString name = m_xml.qualifiedName().toString();
    if (!m_unkeptNames.contains(name)) {
        m_unkeptNames.insert(name);
        m_unkept.append(name);
    }
    m_xml.skipCurrentElement();
}

FeedReadResult FeedReader::failure(const QString &problem, qint64 line) const
{
    return {std::nullopt, problem, line};
}

FeedReadResult FeedReader::malformed() const
{
    return failure(QStringLiteral("It is not well-formed XML: %1").arg(m_xml.errorString()),
                   m_xml.lineNumber());
}

} // namespace

FeedReadResult readFeed(const QByteArray &bytes)
{
    return FeedReader(bytes).read();
}
