#include "feed/feeddocument.h"

#include "feed/xmltext.h"

#include <QStringView>

namespace {

constexpr QStringView lineBreak = u"\r\n";

// Appends an element's start tag, its escaped text and its end tag.
void appendElement(QString &text, QStringView startTag, QStringView value, QStringView endTag)
{
    text += startTag;
    appendXmlElementText(text, value);
    text += endTag;
}

constexpr QStringView itunesDeclaration = u" xmlns:itunes=\"http://www.itunes.com/dtds/podcast-1.0.dtd\"";

void appendAttribute(QString &text, QStringView name, QStringView value)
{
    text += u' ';
    text += name;
    text += u"=\"";
    appendXmlAttributeValue(text, value);
    text += u'"';
}

} // namespace

QString feedHeaderWithAtom()
{
    QString header = feedHeaderTemplate();
    header.insert(header.indexOf(itunesDeclaration) + itunesDeclaration.size(),
                  QStringLiteral(" xmlns:atom=\"http://www.w3.org/2005/Atom\""));
    return header;
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
    appendElement(block, u"<title>", channel.title, u"</title>");
    block += lineBreak;
    appendElement(block, u"<itunes:author>", channel.author, u"</itunes:author>");
    block += lineBreak;
    appendElement(block, u"<description>", channel.description, u"</description>");
    block += lineBreak;
    appendElement(block, u"<link>", channel.link, u"</link>");
    return block;
}

void appendPublishingElements(QString &text, const PublishingDetails &details)
{
    if (!details.language.isEmpty()) {
        text += lineBreak;
        appendElement(text, u"<language>", details.language, u"</language>");
    }
    if (!details.artworkUrl.isEmpty()) {
        text += lineBreak;
        text += u"<itunes:image";
        appendAttribute(text, u"href", details.artworkUrl);
        text += u" />";
    }
    if (!details.category.isEmpty()) {
        text += lineBreak;
        text += u"<itunes:category";
        appendAttribute(text, u"text", details.category);
        if (details.subcategory.isEmpty()) {
            text += u" />";
        } else {
            text += u"><itunes:category";
            appendAttribute(text, u"text", details.subcategory);
            text += u" /></itunes:category>";
        }
    }
    text += lineBreak;
    text += details.explicitContent ? QStringView(u"<itunes:explicit>true</itunes:explicit>")
                                    : QStringView(u"<itunes:explicit>false</itunes:explicit>");
    if (!details.ownerName.isEmpty() || !details.ownerEmail.isEmpty()) {
        text += lineBreak;
        text += u"<itunes:owner>";
        appendElement(text, u"<itunes:name>", details.ownerName, u"</itunes:name>");
        appendElement(text, u"<itunes:email>", details.ownerEmail, u"</itunes:email>");
        text += u"</itunes:owner>";
    }
    if (!details.feedUrl.isEmpty()) {
        text += lineBreak;
        text += u"<atom:link";
        appendAttribute(text, u"href", details.feedUrl);
        text += u" rel=\"self\" type=\"application/rss+xml\" />";
    }
}

void appendItemBlock(QString &block, const FeedItem &item, ItemElements elements)
{
    block += lineBreak;
    appendElement(block, u"<item><title>", item.title, u"</title>");
    block += lineBreak;
    appendElement(block, u"<description>", item.description, u"</description>");
    block += lineBreak;
    appendElement(block, u"<link>", item.link, u"</link>");
    block += lineBreak;
    appendElement(block, u"<pubDate>", item.date, u"</pubDate>");
    block += lineBreak;
    appendElement(block, u"<dc:creator>", item.author, u"</dc:creator>");
    block += lineBreak;
    block += u"<enclosure url='";
    appendXmlAttributeValue(block, item.enclosureUrl);
    block += u"' length='";
    appendXmlAttributeValue(block, item.enclosureLength);
    block += u"' type='";
    appendXmlAttributeValue(block, item.enclosureType);
    block += u"' />";
    block += lineBreak;
    if (elements == ItemElements::Publishing) {
        appendElement(block, u"<guid isPermaLink=\"false\">",
                      item.guid.isEmpty() ? item.enclosureUrl : item.guid, u"</guid>");
        block += lineBreak;
        if (!item.duration.isEmpty()) {
            appendElement(block, u"<itunes:duration>", item.duration, u"</itunes:duration>");
            block += lineBreak;
        }
    }
    block += u"</item>";
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
