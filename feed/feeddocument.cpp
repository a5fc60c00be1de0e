#include "feed/feeddocument.h"

#include "feed/feedelements.h"

#include <QStringView>

namespace {

constexpr QStringView lineBreak = u"\r\n";

} // namespace

QString feedHeaderWithAtom()
{
    NamespaceNeeds needs = NamespaceNeeds::forNewFeed();
    (void)needs.need(Namespaces::atom());
    return headerDeclaring(feedHeaderTemplate(), needs);
}

QString feedHeaderTemplate()
{
    // The namespace names are written exactly as RSS 1.0 Content, Dublin Core 1.1 and the
    // iTunes podcast DTD publish them; readers compare them character for character.
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?> \r\n"
                          "<rss version=\"2.0\""
                          " xmlns:content=\"http://purl.org/rss/1.0/modules/content/\""
                          " xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
                          " xmlns:itunes=\"http://www.itunes.com/dtds/podcast-1.0.dtd\">\r\n"
                          "<channel>\r\n");
}

QString feedFooterTemplate()
{
    return QStringLiteral("</channel>\r\n</rss>\r\n");
}

QString channelBlock(const ChannelFields &channel)
{
    QString block;
    block.reserve(80 + channel.title.size() + channel.author.size() + channel.description.size() +
                  channel.link.size());
    NamespaceNeeds needs = NamespaceNeeds::forNewFeed();
    const ChannelValues values{channel, {}};
    for (const ChannelElement element :
         {ChannelElement::Title, ChannelElement::Author, ChannelElement::Description, ChannelElement::Link}) {
        if (element != ChannelElement::Title)
            block += lineBreak;
        appendChannelElement(block, element, values, needs);
    }
    return block;
}

void appendPublishingElements(QString &text, const PublishingDetails &details, NamespaceNeeds &needs)
{
    const ChannelValues values{{}, details};
    for (const ChannelElement element :
         {ChannelElement::Language, ChannelElement::Artwork, ChannelElement::Category, ChannelElement::Explicit,
          ChannelElement::Owner, ChannelElement::FeedUrl}) {
        if (!hasValue(element, values))
            continue;
        text += lineBreak;
        appendChannelElement(text, element, values, needs);
    }
}

void appendPublishingElements(QString &text, const PublishingDetails &details)
{
    NamespaceNeeds needs = NamespaceNeeds::forNewFeed();
    appendPublishingElements(text, details, needs);
}

void appendItemBlock(QString &block, const FeedItem &item, ItemElements elements, NamespaceNeeds &needs)
{
    block += lineBreak;
    block += u"<item>";
    // Every item has these, empty or not, each on a line of its own.
    for (const ItemElement element : {ItemElement::Title, ItemElement::Description, ItemElement::Link,
                                      ItemElement::Date, ItemElement::Author, ItemElement::Enclosure}) {
        appendItemElement(block, element, item, needs);
        block += lineBreak;
    }
    if (elements == ItemElements::Publishing) {
        if (item.guid.isEmpty()) {
            FeedItem withGuid = item;
            withGuid.guid = item.enclosureUrl;
            appendItemElement(block, ItemElement::Guid, withGuid, needs);
        } else {
            appendItemElement(block, ItemElement::Guid, item, needs);
        }
        block += lineBreak;
    }
    // The rest only when they have a value; the play time only in feeds with publishing details.
    for (const ItemElement element :
         {ItemElement::Duration, ItemElement::Episode, ItemElement::Season, ItemElement::EpisodeType,
          ItemElement::TranscriptVtt, ItemElement::TranscriptSrt, ItemElement::Chapters}) {
        if (!hasValue(element, item) ||
            (element == ItemElement::Duration && elements != ItemElements::Publishing))
            continue;
        appendItemElement(block, element, item, needs);
        block += lineBreak;
    }
    block += u"</item>";
}

void appendItemBlock(QString &block, const FeedItem &item, ItemElements elements)
{
    NamespaceNeeds needs = NamespaceNeeds::forNewFeed();
    appendItemBlock(block, item, elements, needs);
}

QString itemBlock(const FeedItem &item)
{
    QString block;
    block.reserve(200 + item.title.size() + item.description.size() + item.link.size() + item.date.size() +
                  item.author.size() + item.enclosureUrl.size() + item.enclosureLength.size() +
                  item.enclosureType.size());
    appendItemBlock(block, item);
    return block;
}

QString feedDocument(const QString &headerTemplate, const QString &channelBlock, const QString &itemStore,
                     const QString &footerTemplate)
{
    QString document;
    document.reserve(headerTemplate.size() + channelBlock.size() + itemStore.size() + footerTemplate.size());
    document += headerTemplate;
    document += channelBlock;
    document += itemStore;
    document += footerTemplate;
    return document;
}

QByteArray feedFileBytes(const QString &document)
{
    // QString::toUtf8 never writes a byte-order mark.
    QByteArray bytes = document.toUtf8();
    bytes += "\r\n";
    return bytes;
}
