#include "feed/document/feeddocument.h"

#include "feed/document/xmltext.h"

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

} // namespace

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

void appendItemBlock(QString &block, const FeedItem &item)
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
