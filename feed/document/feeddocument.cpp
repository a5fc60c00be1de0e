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

QString channelBlock(const QString &title, const QString &author, const QString &description,
                     const QString &link)
{
    QString block;
    block.reserve(80 + title.size() + author.size() + description.size() + link.size());
    appendElement(block, u"<title>", title, u"</title>");
    block += lineBreak;
    appendElement(block, u"<itunes:author>", author, u"</itunes:author>");
    block += lineBreak;
    appendElement(block, u"<description>", description, u"</description>");
    block += lineBreak;
    appendElement(block, u"<link>", link, u"</link>");
    return block;
}

QString itemBlock(const QString &title, const QString &description, const QString &link, const QString &date,
                  const QString &author, const QString &enclosureUrl, const QString &enclosureLength,
                  const QString &enclosureType)
{
    QString block;
    block.reserve(200 + title.size() + description.size() + link.size() + date.size() + author.size() +
                  enclosureUrl.size() + enclosureLength.size() + enclosureType.size());
    block += lineBreak;
    appendElement(block, u"<item><title>", title, u"</title>");
    block += lineBreak;
    appendElement(block, u"<description>", description, u"</description>");
    block += lineBreak;
    appendElement(block, u"<link>", link, u"</link>");
    block += lineBreak;
    appendElement(block, u"<pubDate>", date, u"</pubDate>");
    block += lineBreak;
    appendElement(block, u"<dc:creator>", author, u"</dc:creator>");
    block += lineBreak;
    block += u"<enclosure url='";
    appendXmlAttributeValue(block, enclosureUrl);
    block += u"' length='";
    appendXmlAttributeValue(block, enclosureLength);
    block += u"' type='";
    appendXmlAttributeValue(block, enclosureType);
    block += u"' />";
    block += lineBreak;
    block += u"</item>";
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
