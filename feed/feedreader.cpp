#include "feed/feedreader.h"

#include "feed/feedencoding.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <utility>

namespace {

constexpr QStringView ItunesNamespace = u"http://www.itunes.com/dtds/podcast-1.0.dtd";
constexpr QStringView DublinCoreNamespace = u"http://purl.org/dc/elements/1.1/";
constexpr QStringView AtomNamespace = u"http://www.w3.org/2005/Atom";
constexpr QStringView PodcastNamespace = u"https://podcastindex.org/namespace/1.0";

[[nodiscard]] bool isKnownVersion(QStringView version)
{
    return version.isEmpty() || version == u"2.0" || version == u"0.91" || version == u"0.92" ||
           version == u"0.93" || version == u"0.94";
}

[[nodiscard]] bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The stream reader counts UTF-16 characters; the feed is kept as UTF-8 bytes. The reader only
// moves forward, so one cursor walks the bytes along with it.
class ByteOffsets final
{
public:
    explicit ByteOffsets(const QByteArray &bytes)
        : m_data(bytes.constData()), m_size(bytes.size()), m_byte(bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0)
    {
    }

    [[nodiscard]] qsizetype at(qint64 characters)
    {
        while (m_characters < characters && m_byte < m_size) {
            const auto lead = static_cast<unsigned char>(m_data[m_byte]);
            const int length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            m_byte += length;
            // Characters beyond the first plane are two UTF-16 units.
            m_characters += length == 4 ? 2 : 1;
        }
        return std::min(m_byte, m_size);
    }

private:
    const char *m_data;
    qsizetype m_size;
    qsizetype m_byte;
    qint64 m_characters = 0;
};

// One pass over the document with a stream reader, noting where each element the window knows
// starts and ends; a feed of tens of megabytes is read without building a tree of it, and item
// values are read only when asked for.
class FeedReader final
{
public:
    explicit FeedReader(FeedSource &source) : m_source(source), m_xml(source.bytes), m_offsets(source.bytes) {}

    [[nodiscard]] FeedReadResult read();

private:
    void readChannel();
    void readItem();
    // The current start element's tag, or the end of the current end element.
    [[nodiscard]] ByteRange startTag();
    [[nodiscard]] qsizetype endOfElement() { return m_offsets.at(m_xml.characterOffset()); }
    // Skips the current element and returns where it is; once only for each kind.
    void takeElement(ByteRange &range);
    void noteNamespaces(QList<Namespace> *inScope);
    [[nodiscard]] FeedReadResult failure(const QString &problem, qint64 line) const;
    [[nodiscard]] FeedReadResult malformed() const;

    FeedSource &m_source;
    QXmlStreamReader m_xml;
    ByteOffsets m_offsets;
    bool m_offsetsLost = false;
    bool m_emptyChannel = false;
    ByteRange m_current;
};

FeedReadResult FeedReader::read()
{
    while (!m_xml.atEnd() && !m_xml.isStartElement())
        m_xml.readNext();
    if (m_xml.hasError())
        return malformed();
    const qint64 rootLine = m_xml.lineNumber();
    if (m_xml.name() != u"rss" || !m_xml.namespaceUri().isEmpty())
        return failure(QStringLiteral("It is not an RSS feed: its root element is <%1>, not <rss>.")
                           .arg(m_xml.qualifiedName()),
                       rootLine);
    const QStringView version = m_xml.attributes().value(QLatin1String("version"));
    if (!isKnownVersion(version))
        return failure(QStringLiteral("It is not an RSS feed Parlora knows: its rss element has version "
                                      "\"%1\", not \"2.0\".")
                           .arg(version),
                       rootLine);
    m_source.rssStartTag = startTag();
    noteNamespaces(&m_source.namespaces);
    if (m_xml.attributes().hasAttribute(QLatin1String("version"))) {
        // The value's place in the tag: after "version", the equals sign and the quote.
        const QByteArrayView tag = m_source.slice(m_source.rssStartTag);
        static const QRegularExpression attribute(QStringLiteral("\\sversion\\s*=\\s*([\"'])([^\"']*)\\1"));
        const QRegularExpressionMatch match = attribute.match(QString::fromLatin1(tag));
        if (match.hasMatch())
            m_source.version = {m_source.rssStartTag.begin + match.capturedStart(2),
                                m_source.rssStartTag.begin + match.capturedEnd(2)};
    }

    bool haveChannel = false;
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"channel" && m_xml.namespaceUri().isEmpty() && !haveChannel) {
            haveChannel = true;
            readChannel();
        } else {
            m_xml.skipCurrentElement();
        }
    }
    // Whatever follows the root element must be well-formed too.
    while (!m_xml.atEnd())
        m_xml.readNext();
    if (m_xml.hasError())
        return malformed();
    if (!haveChannel)
        return failure(QStringLiteral("It is not an RSS feed: its rss element holds no channel."), rootLine);
    if (m_emptyChannel)
        return failure(QStringLiteral("It is not an RSS feed: its channel element is empty."), rootLine);
    if (m_offsetsLost)
        return failure(QStringLiteral("Its text could not be followed."), 0);
    m_source.readChannelValues();
    return {};
}

void FeedReader::readChannel()
{
    const ByteRange channelTag = startTag();
    noteNamespaces(&m_source.namespaces);
    const auto take = [this](ChannelElement element) {
        takeElement(m_source.channelElements[static_cast<std::size_t>(element)]);
    };
    bool empty = true;
    while (m_xml.readNextStartElement()) {
        empty = false;
        m_current = startTag();
        noteNamespaces(nullptr);
        const QStringView space = m_xml.namespaceUri();
        const QStringView name = m_xml.name();
        if (space.isEmpty() && name == u"item")
            readItem();
        else if (space.isEmpty() && name == u"title")
            take(ChannelElement::Title);
        else if (space.isEmpty() && name == u"description")
            take(ChannelElement::Description);
        else if (space.isEmpty() && name == u"link")
            take(ChannelElement::Link);
        else if (space.isEmpty() && name == u"language")
            take(ChannelElement::Language);
        else if (space == ItunesNamespace && name == u"author")
            take(ChannelElement::Author);
        else if (space == ItunesNamespace && name == u"image")
            take(ChannelElement::Artwork);
        else if (space == ItunesNamespace && name == u"category")
            take(ChannelElement::Category);
        else if (space == ItunesNamespace && name == u"explicit")
            take(ChannelElement::Explicit);
        else if (space == ItunesNamespace && name == u"owner")
            take(ChannelElement::Owner);
        else if (space == AtomNamespace && name == u"link" &&
                 m_xml.attributes().value(QLatin1String("rel")) == u"self")
            take(ChannelElement::FeedUrl);
        else
            m_xml.skipCurrentElement();
    }
    const qsizetype end = endOfElement();
    m_source.channelEndTag = QByteArrayView(m_source.bytes).first(end).lastIndexOf('<');
    // An empty <channel/> has nowhere to put what the window writes.
    m_emptyChannel = empty && m_source.channelEndTag <= channelTag.begin;
}

void FeedReader::readItem()
{
    SourceItem item;
    item.element.begin = m_current.begin;
    item.leadBegin = m_current.begin;
    while (item.leadBegin > 0 && isSpace(m_source.bytes.at(item.leadBegin - 1)))
        --item.leadBegin;
    const auto take = [this, &item](ItemElement element) {
        takeElement(item.elements[static_cast<std::size_t>(element)]);
    };
    while (m_xml.readNextStartElement()) {
        m_current = startTag();
        noteNamespaces(nullptr);
        const QStringView space = m_xml.namespaceUri();
        const QStringView name = m_xml.name();
        if (space.isEmpty()) {
            if (name == u"title")
                take(ItemElement::Title);
            else if (name == u"description")
                take(ItemElement::Description);
            else if (name == u"link")
                take(ItemElement::Link);
            else if (name == u"pubDate")
                take(ItemElement::Date);
            else if (name == u"guid")
                take(ItemElement::Guid);
            else if (name == u"enclosure")
                take(ItemElement::Enclosure);
            else if (name == u"author")
                takeElement(item.otherAuthor);
            else
                m_xml.skipCurrentElement();
        } else if (space == DublinCoreNamespace && name == u"creator") {
            take(ItemElement::Author);
        } else if (space == ItunesNamespace) {
            if (name == u"author")
                takeElement(item.otherAuthor);
            else if (name == u"duration")
                take(ItemElement::Duration);
            else if (name == u"episode")
                take(ItemElement::Episode);
            else if (name == u"season")
                take(ItemElement::Season);
            else if (name == u"episodeType")
                take(ItemElement::EpisodeType);
            else
                m_xml.skipCurrentElement();
        } else if (space == PodcastNamespace && name == u"transcript") {
            const QStringView type = m_xml.attributes().value(QLatin1String("type"));
            if (type == u"text/vtt")
                take(ItemElement::TranscriptVtt);
            else if (type == u"application/x-subrip" || type == u"application/srt")
                take(ItemElement::TranscriptSrt);
            else
                m_xml.skipCurrentElement();
        } else if (space == PodcastNamespace && name == u"chapters") {
            take(ItemElement::Chapters);
        } else {
            m_xml.skipCurrentElement();
        }
    }
    item.element.end = endOfElement();
    item.endTagBegin = QByteArrayView(m_source.bytes).first(item.element.end).lastIndexOf('<');
    if (item.element.end <= item.element.begin || m_source.bytes.at(item.element.end - 1) != '>')
        m_offsetsLost = true;
    m_source.items.append(item);
}

ByteRange FeedReader::startTag()
{
    const qsizetype end = m_offsets.at(m_xml.characterOffset());
    const qsizetype begin = end > 0 ? QByteArrayView(m_source.bytes).first(end).lastIndexOf('<') : -1;
    // The reader stands just after the tag's '>'; anything else means the offsets went astray.
    if (begin < 0 || end <= 0 || m_source.bytes.at(end - 1) != '>') {
        m_offsetsLost = true;
        return {0, 0};
    }
    return {begin, end};
}

void FeedReader::takeElement(ByteRange &range)
{
    const ByteRange start = m_current;
    m_xml.skipCurrentElement();
    if (!range.isPresent())
        range = {start.begin, endOfElement()};
}

void FeedReader::noteNamespaces(QList<Namespace> *inScope)
{
    const QXmlStreamNamespaceDeclarations declarations = m_xml.namespaceDeclarations();
    for (const QXmlStreamNamespaceDeclaration &declaration : declarations) {
        const QString prefix = declaration.prefix().toString();
        if (inScope)
            inScope->append({prefix, declaration.namespaceUri().toString()});
        if (!m_source.prefixes.contains(prefix))
            m_source.prefixes.append(prefix);
    }
}

FeedReadResult FeedReader::failure(const QString &problem, qint64 line) const
{
    return {nullptr, problem, line};
}

FeedReadResult FeedReader::malformed() const
{
    return failure(QStringLiteral("It is not well-formed XML: %1").arg(m_xml.errorString()), m_xml.lineNumber());
}

} // namespace

FeedReadResult readFeed(const QByteArray &bytes)
{
    Utf8Feed utf8 = feedAsUtf8(bytes);
    if (!utf8.problem.isEmpty())
        return {nullptr, utf8.problem, 1};
    auto source = std::make_shared<FeedSource>();
    source->bytes = std::move(utf8.bytes);
    FeedReadResult result = FeedReader(*source).read();
    if (result.problem.isEmpty())
        result.feed = std::move(source);
    return result;
}
