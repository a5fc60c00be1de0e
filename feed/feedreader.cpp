#include "feed/feedreader.h"

#include "feed/feedencoding.h"
#include "feed/xmlscanner.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView ItunesNamespace = u"http://www.itunes.com/dtds/podcast-1.0.dtd";
constexpr QStringView DublinCoreNamespace = u"http://purl.org/dc/elements/1.1/";
constexpr QStringView AtomNamespace = u"http://www.w3.org/2005/Atom";
constexpr QStringView PodcastNamespace = u"https://podcastindex.org/namespace/1.0";

[[nodiscard]] bool isKnownVersion(const QString &version)
{
    return version.isEmpty() || version == "2.0"_L1 || version == "0.91"_L1 || version == "0.92"_L1 ||
           version == "0.93"_L1 || version == "0.94"_L1;
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
    {}

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

// QXmlStreamReader with the places of elements in the bytes: the thorough reader, for files the
// quick scanner does not take and for the messages about broken ones.
class StreamTokens final
{
public:
    explicit StreamTokens(const QByteArray &bytes) : m_bytes(bytes), m_xml(bytes), m_offsets(bytes) {}

    [[nodiscard]] bool readRootElement()
    {
        while (!m_xml.atEnd() && !m_xml.isStartElement())
            m_xml.readNext();
        return m_xml.isStartElement() && locateStartTag();
    }
    [[nodiscard]] bool readNextStartElement()
    {
        if (m_xml.readNextStartElement())
            return locateStartTag();
        m_endOfElement = m_offsets.at(m_xml.characterOffset());
        return false;
    }
    void skipCurrentElement()
    {
        m_xml.skipCurrentElement();
        m_endOfElement = m_offsets.at(m_xml.characterOffset());
    }
    void readToEnd()
    {
        while (!m_xml.atEnd())
            m_xml.readNext();
    }
    [[nodiscard]] bool hasError() const { return m_xml.hasError() || m_lost; }
    [[nodiscard]] QString problem() const
    {
        return m_xml.hasError() ? QStringLiteral("It is not well-formed XML: %1").arg(m_xml.errorString())
                                : QStringLiteral("Its text could not be followed.");
    }
    [[nodiscard]] qint64 lineNumber() const { return m_xml.lineNumber(); }

    [[nodiscard]] QStringView name() const { return m_xml.name(); }
    [[nodiscard]] QString qualifiedName() const { return m_xml.qualifiedName().toString(); }
    [[nodiscard]] QStringView namespaceUri() const { return m_xml.namespaceUri(); }
    [[nodiscard]] QString attribute(QLatin1StringView name) const
    {
        return m_xml.attributes().value(name).toString();
    }
    [[nodiscard]] bool hasAttribute(QLatin1StringView name) const
    {
        return m_xml.attributes().hasAttribute(name);
    }
    [[nodiscard]] QList<Namespace> declarations() const
    {
        QList<Namespace> declared;
        for (const QXmlStreamNamespaceDeclaration &declaration : m_xml.namespaceDeclarations())
            declared.append({declaration.prefix().toString(), declaration.namespaceUri().toString()});
        return declared;
    }
    [[nodiscard]] qsizetype tagBegin() const { return m_tagBegin; }
    [[nodiscard]] qsizetype tagEnd() const { return m_tagEnd; }
    [[nodiscard]] qsizetype endOfElement() const { return m_endOfElement; }

private:
    [[nodiscard]] bool locateStartTag()
    {
        m_tagEnd = m_offsets.at(m_xml.characterOffset());
        m_tagBegin = m_tagEnd > 0 ? QByteArrayView(m_bytes).first(m_tagEnd).lastIndexOf('<') : -1;
        // The reader stands just after the tag's '>'; anything else means the offsets went astray.
        if (m_tagBegin < 0 || m_bytes.at(m_tagEnd - 1) != '>') {
            m_lost = true;
            m_tagBegin = m_tagEnd = 0;
        }
        return true;
    }

    const QByteArray &m_bytes;
    QXmlStreamReader m_xml;
    ByteOffsets m_offsets;
    bool m_lost = false;
    qsizetype m_tagBegin = 0;
    qsizetype m_tagEnd = 0;
    qsizetype m_endOfElement = 0;
};

// One pass over the document, noting where each element the window knows starts and ends; a
// feed of tens of megabytes is read without building a tree of it, and item values are read
// only when asked for.
template <typename Tokens> class FeedReader final
{
public:
    explicit FeedReader(FeedSource &source) : m_source(source), m_xml(source.bytes) {}

    [[nodiscard]] FeedReadResult read();

private:
    void readChannel();
    void readItem();
    [[nodiscard]] ByteRange startTag() const { return {m_xml.tagBegin(), m_xml.tagEnd()}; }
    // Skips the current element and notes where it is; the first of each kind only.
    void takeElement(ByteRange &range);
    void noteNamespaces(QList<Namespace> *inScope);
    void forgetPrefixesBoundAgain();
    [[nodiscard]] FeedReadResult failure(const QString &problem, qint64 line) const
    {
        return {nullptr, problem, line};
    }
    [[nodiscard]] FeedReadResult malformed() const { return failure(m_xml.problem(), m_xml.lineNumber()); }

    FeedSource &m_source;
    Tokens m_xml;
    bool m_emptyChannel = false;
    ByteRange m_current;
};

template <typename Tokens> FeedReadResult FeedReader<Tokens>::read()
{
    if (!m_xml.readRootElement() || m_xml.hasError())
        return malformed();
    const qint64 rootLine = m_xml.lineNumber();
    if (m_xml.name() != "rss"_L1 || !m_xml.namespaceUri().isEmpty())
        return failure(QStringLiteral("It is not an RSS feed: its root element is <%1>, not <rss>.")
                           .arg(m_xml.qualifiedName()),
                       rootLine);
    const QString version = m_xml.attribute("version"_L1);
    if (!isKnownVersion(version))
        return failure(QStringLiteral("It is not an RSS feed Parlora knows: its rss element has version "
                                      "\"%1\", not \"2.0\".")
                           .arg(version),
                       rootLine);
    m_source.rssStartTag = startTag();
    noteNamespaces(&m_source.namespaces);
    if (m_xml.hasAttribute("version"_L1)) {
        // The value's place in the tag: after "version", the equals sign and the quote.
        static const QRegularExpression attribute(QStringLiteral("\\sversion\\s*=\\s*([\"'])([^\"']*)\\1"));
        const QRegularExpressionMatch match =
            attribute.match(QString::fromLatin1(m_source.slice(m_source.rssStartTag)));
        if (match.hasMatch())
            m_source.version = {m_source.rssStartTag.begin + match.capturedStart(2),
                                m_source.rssStartTag.begin + match.capturedEnd(2)};
    }

    bool haveChannel = false;
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == "channel"_L1 && m_xml.namespaceUri().isEmpty() && !haveChannel) {
            haveChannel = true;
            readChannel();
        } else {
            m_xml.skipCurrentElement();
        }
    }
    // Whatever follows the root element must be well-formed too.
    m_xml.readToEnd();
    if (m_xml.hasError())
        return malformed();
    if (!haveChannel)
        return failure(QStringLiteral("It is not an RSS feed: its rss element holds no channel."), rootLine);
    if (m_emptyChannel)
        return failure(QStringLiteral("It is not an RSS feed: its channel element is empty."), rootLine);
    m_source.readChannelValues();
    return {};
}

template <typename Tokens> void FeedReader<Tokens>::readChannel()
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
        const auto space = m_xml.namespaceUri();
        const auto name = m_xml.name();
        if (space.isEmpty() && name == "item"_L1) {
            forgetPrefixesBoundAgain();
            readItem();
        } else if (space.isEmpty() && name == "title"_L1)
            take(ChannelElement::Title);
        else if (space.isEmpty() && name == "description"_L1)
            take(ChannelElement::Description);
        else if (space.isEmpty() && name == "link"_L1)
            take(ChannelElement::Link);
        else if (space.isEmpty() && name == "language"_L1)
            take(ChannelElement::Language);
        else if (space == ItunesNamespace && name == "author"_L1)
            take(ChannelElement::Author);
        else if (space == ItunesNamespace && name == "image"_L1)
            take(ChannelElement::Artwork);
        else if (space == ItunesNamespace && name == "category"_L1)
            take(ChannelElement::Category);
        else if (space == ItunesNamespace && name == "explicit"_L1)
            take(ChannelElement::Explicit);
        else if (space == ItunesNamespace && name == "owner"_L1)
            take(ChannelElement::Owner);
        else if (space == AtomNamespace && name == "link"_L1 && m_xml.attribute("rel"_L1) == "self"_L1)
            take(ChannelElement::FeedUrl);
        else
            m_xml.skipCurrentElement();
    }
    const qsizetype end = m_xml.endOfElement();
    m_source.channelEndTag = QByteArrayView(m_source.bytes).first(end).lastIndexOf('<');
    // An empty <channel/> has nowhere to put what the window writes.
    m_emptyChannel = empty && m_source.channelEndTag <= channelTag.begin;
}

template <typename Tokens> void FeedReader<Tokens>::readItem()
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
        const auto space = m_xml.namespaceUri();
        const auto name = m_xml.name();
        if (space.isEmpty()) {
            if (name == "title"_L1)
                take(ItemElement::Title);
            else if (name == "description"_L1)
                take(ItemElement::Description);
            else if (name == "link"_L1)
                take(ItemElement::Link);
            else if (name == "pubDate"_L1)
                take(ItemElement::Date);
            else if (name == "guid"_L1)
                take(ItemElement::Guid);
            else if (name == "enclosure"_L1)
                take(ItemElement::Enclosure);
            else if (name == "author"_L1)
                takeElement(item.otherAuthor);
            else
                m_xml.skipCurrentElement();
        } else if (space == DublinCoreNamespace && name == "creator"_L1) {
            take(ItemElement::Author);
        } else if (space == ItunesNamespace) {
            if (name == "author"_L1)
                takeElement(item.otherAuthor);
            else if (name == "duration"_L1)
                take(ItemElement::Duration);
            else if (name == "episode"_L1)
                take(ItemElement::Episode);
            else if (name == "season"_L1)
                take(ItemElement::Season);
            else if (name == "episodeType"_L1)
                take(ItemElement::EpisodeType);
            else
                m_xml.skipCurrentElement();
        } else if (space == PodcastNamespace && name == "transcript"_L1) {
            const QString type = m_xml.attribute("type"_L1);
            if (type == "text/vtt"_L1)
                take(ItemElement::TranscriptVtt);
            else if (type == "application/x-subrip"_L1 || type == "application/srt"_L1)
                take(ItemElement::TranscriptSrt);
            else
                m_xml.skipCurrentElement();
        } else if (space == PodcastNamespace && name == "chapters"_L1) {
            take(ItemElement::Chapters);
        } else {
            m_xml.skipCurrentElement();
        }
    }
    item.element.end = m_xml.endOfElement();
    item.endTagBegin = QByteArrayView(m_source.bytes).first(item.element.end).lastIndexOf('<');
    m_source.items.append(item);
}

template <typename Tokens> void FeedReader<Tokens>::takeElement(ByteRange &range)
{
    const ByteRange start = m_current;
    m_xml.skipCurrentElement();
    if (!range.isPresent())
        range = {start.begin, m_xml.endOfElement()};
}

template <typename Tokens> void FeedReader<Tokens>::noteNamespaces(QList<Namespace> *inScope)
{
    for (const Namespace &declared : m_xml.declarations()) {
        // A default namespace gives no prefix to write elements with. A prefix declared again,
        // on the channel or twice on one element, is known by its last declaration.
        if (inScope && !declared.prefix.isEmpty()) {
            inScope->removeIf(
                [&declared](const Namespace &space) { return space.prefix == declared.prefix; });
            inScope->append(declared);
        }
        if (!m_source.prefixes.contains(declared.prefix))
            m_source.prefixes.append(declared.prefix);
    }
}

template <typename Tokens> void FeedReader<Tokens>::forgetPrefixesBoundAgain()
{
    // Elements written into items use one prefix for a namespace in all of them, so a prefix
    // that one item binds to something else is not used for it anywhere.
    for (const Namespace &declared : m_xml.declarations())
        m_source.namespaces.removeIf([&declared](const Namespace &space) {
            return space.prefix == declared.prefix && space.uri != declared.uri;
        });
}

template <typename Tokens> FeedReadResult readWith(const QByteArray &utf8)
{
    auto source = std::make_shared<FeedSource>();
    source->bytes = utf8;
    FeedReadResult result = FeedReader<Tokens>(*source).read();
    if (result.problem.isEmpty())
        result.feed = std::move(source);
    return result;
}

} // namespace

FeedReadResult readFeed(const QByteArray &bytes)
{
    const Utf8Feed utf8 = feedAsUtf8(bytes);
    if (!utf8.problem.isEmpty())
        return {nullptr, utf8.problem, 1};
    // The quick scanner takes ordinary feeds; whatever it does not take is read again
    // thoroughly, which also words the message about a broken file.
    FeedReadResult quick = readWith<XmlScanner>(utf8.bytes);
    if (quick.feed)
        return quick;
    return readWith<StreamTokens>(utf8.bytes);
}

FeedReadResult readFeedThoroughly(const QByteArray &bytes)
{
    const Utf8Feed utf8 = feedAsUtf8(bytes);
    if (!utf8.problem.isEmpty())
        return {nullptr, utf8.problem, 1};
    return readWith<StreamTokens>(utf8.bytes);
}
