#pragma once

#include "feed/channelfields.h"
#include "feed/feeditem.h"
#include "feed/namespaceneeds.h"
#include "feed/publishingdetails.h"

#include <QByteArray>
#include <QString>

// The podcast feed is built as text: header template, channel block, item store (the item
// blocks added so far, joined with nothing between them) and footer template. Line breaks are
// CR LF. Field values are escaped for XML on the way in (see xmltext.h).

// The XML declaration (with a space before its line break), the rss start tag and <channel>.
[[nodiscard]] QString feedHeaderTemplate();
// The same with the Atom namespace declared too, for the feed's link to itself.
[[nodiscard]] QString feedHeaderWithAtom();
// "</channel>" and "</rss>", each on its own line.
[[nodiscard]] QString feedFooterTemplate();

// Four lines; the last one, the link, has no line break, so the first item or the footer
// continues right after it.
[[nodiscard]] QString channelBlock(const ChannelFields &channel);
// The channel elements the details add, each on a line of its own after the channel block;
// like the block, it ends without a line break.
void appendPublishingElements(QString &text, const PublishingDetails &details);
void appendPublishingElements(QString &text, const PublishingDetails &details, NamespaceNeeds &needs);

enum class ItemElements
{
    Basic,
    // With a guid (the enclosure address when the item has none of its own) and the duration
    // when it is known.
    Publishing
};

// Starts with a line break and ends with "</item>" without one, so blocks append directly to
// the item store. The author goes into dc:creator, as it reads when the item is added.
[[nodiscard]] QString itemBlock(const FeedItem &item);
void appendItemBlock(QString &text, const FeedItem &item, ItemElements elements = ItemElements::Basic);
// The same, naming each namespace as needs says and noting the ones it uses.
void appendItemBlock(QString &text, const FeedItem &item, ItemElements elements, NamespaceNeeds &needs);

[[nodiscard]] QString feedDocument(const QString &headerTemplate, const QString &channelBlock,
                                   const QString &itemStore, const QString &footerTemplate);

// What goes into the saved file: the document and one more CR LF, as UTF-8 without a byte-order mark.
[[nodiscard]] QByteArray feedFileBytes(const QString &document);
