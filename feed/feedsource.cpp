#include "feed/feedsource.h"

#include <QXmlStreamReader>

namespace {

[[nodiscard]] bool isYes(const QString &text)
{
    const QString value = text.trimmed().toLower();
    return value == u"true" || value == u"yes" || value == u"explicit";
}

// One element cut out of the file, read on its own. Prefixes are not resolved (their
// declarations are elsewhere in the file): the reader already knows which element this is.
class ElementText final
{
public:
    ElementText(const FeedSource &source, ByteRange range)
        : m_bytes(QByteArray::fromRawData(source.slice(range).data(), source.slice(range).size())),
          m_xml(m_bytes)
    {
        m_xml.setNamespaceProcessing(false);
        m_present = range.isPresent() && m_xml.readNextStartElement();
    }

    [[nodiscard]] QString attribute(QLatin1String name) const
    {
        return m_present ? m_xml.attributes().value(name).toString() : QString();
    }
    // Its text, markup inside it left out.
    [[nodiscard]] QString text()
    {
        return m_present ? m_xml.readElementText(QXmlStreamReader::IncludeChildElements) : QString();
    }
    // The first child element of that local name, read with its text or attribute.
    [[nodiscard]] bool nextChild(QStringView localName)
    {
        while (m_present && m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (name == localName || (name.endsWith(localName) && name.size() > localName.size() &&
                                      name.at(name.size() - localName.size() - 1) == u':'))
                return true;
            m_xml.skipCurrentElement();
        }
        return false;
    }

private:
    QByteArray m_bytes;
    QXmlStreamReader m_xml;
    bool m_present = false;
};

[[nodiscard]] QString textOf(const FeedSource &source, ByteRange range)
{
    return range.isPresent() ? ElementText(source, range).text() : QString();
}

[[nodiscard]] QString attributeOf(const FeedSource &source, ByteRange range, QLatin1String name)
{
    return range.isPresent() ? ElementText(source, range).attribute(name) : QString();
}

} // namespace

FeedItem FeedSource::item(qsizetype index) const
{
    const SourceItem &source = items.at(index);
    const auto text = [this, &source](ItemElement element) { return textOf(*this, source.at(element)); };
    const auto url = [this, &source](ItemElement element) {
        return attributeOf(*this, source.at(element), QLatin1String("url"));
    };
    FeedItem item;
    item.title = text(ItemElement::Title);
    item.description = text(ItemElement::Description);
    item.link = text(ItemElement::Link);
    item.date = text(ItemElement::Date);
    item.author = source.at(ItemElement::Author).isPresent() ? text(ItemElement::Author)
                                                              : textOf(*this, source.otherAuthor);
    if (source.at(ItemElement::Enclosure).isPresent()) {
        const ElementText enclosure(*this, source.at(ItemElement::Enclosure));
        item.enclosureUrl = enclosure.attribute(QLatin1String("url"));
        item.enclosureLength = enclosure.attribute(QLatin1String("length"));
        item.enclosureType = enclosure.attribute(QLatin1String("type"));
    }
    item.guid = text(ItemElement::Guid);
    item.duration = text(ItemElement::Duration);
    item.episode = text(ItemElement::Episode);
    item.season = text(ItemElement::Season);
    item.episodeType = text(ItemElement::EpisodeType);
    item.transcriptVttUrl = url(ItemElement::TranscriptVtt);
    item.transcriptSrtUrl = url(ItemElement::TranscriptSrt);
    item.chaptersUrl = url(ItemElement::Chapters);
    return item;
}

void FeedSource::readChannelValues()
{
    const auto text = [this](ChannelElement element) { return textOf(*this, at(element)); };
    channel = {text(ChannelElement::Title), text(ChannelElement::Author), text(ChannelElement::Description),
               text(ChannelElement::Link)};
    bool anyDetail = false;
    for (int element = static_cast<int>(ChannelElement::Language); element < ChannelElementCount; ++element)
        anyDetail = anyDetail || channelElements.at(static_cast<std::size_t>(element)).isPresent();
    if (!anyDetail) {
        details.reset();
        return;
    }
    PublishingDetails read;
    read.language = text(ChannelElement::Language);
    read.artworkUrl = attributeOf(*this, at(ChannelElement::Artwork), QLatin1String("href"));
    if (at(ChannelElement::Category).isPresent()) {
        ElementText category(*this, at(ChannelElement::Category));
        read.category = category.attribute(QLatin1String("text"));
        if (category.nextChild(u"category"))
            read.subcategory = category.attribute(QLatin1String("text"));
    }
    read.explicitContent = isYes(text(ChannelElement::Explicit));
    if (at(ChannelElement::Owner).isPresent()) {
        ElementText owner(*this, at(ChannelElement::Owner));
        if (owner.nextChild(u"name"))
            read.ownerName = owner.text();
        if (owner.nextChild(u"email"))
            read.ownerEmail = owner.text();
    }
    read.feedUrl = attributeOf(*this, at(ChannelElement::FeedUrl), QLatin1String("href"));
    details = read;
}
