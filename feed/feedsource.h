#pragma once

#include "feed/channelfields.h"
#include "feed/feedelements.h"
#include "feed/feeditem.h"
#include "feed/namespaceneeds.h"
#include "feed/publishingdetails.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>

#include <array>
#include <optional>

// A stretch of an opened feed's bytes, [begin, end); absent when begin is -1.
struct ByteRange
{
    qsizetype begin = -1;
    qsizetype end = -1;

    [[nodiscard]] bool isPresent() const { return begin >= 0; }
};

// An item of an opened feed: where it is and where its known elements are (the first of each).
struct SourceItem
{
    // The white space before the item starts here.
    qsizetype leadBegin = 0;
    ByteRange element;
    // Where "</item>" starts: equal to element.begin for an empty <item/>.
    qsizetype endTagBegin = 0;
    std::array<ByteRange, ItemElementCount> elements;
    // <author> or <itunes:author>, shown when the item has no dc:creator.
    ByteRange otherAuthor;

    [[nodiscard]] const ByteRange &at(ItemElement element) const
    {
        return elements.at(static_cast<std::size_t>(element));
    }
};

// An opened feed: its file's text, kept whole so that everything the window does not edit is
// written back exactly, and where the elements the window edits are in it. Values are read from
// the text when asked for; the window's own copies are compared against them on saving.
class FeedSource final
{
public:
    // UTF-8, with the byte-order mark if the file had one; a file in another encoding is held
    // converted, its XML declaration saying UTF-8.
    QByteArray bytes;
    ByteRange rssStartTag;
    // The value of the rss element's version attribute, if it has one.
    ByteRange version;
    std::array<ByteRange, ChannelElementCount> channelElements;
    // Where "</channel>" starts.
    qsizetype channelEndTag = 0;
    QList<SourceItem> items;
    // The namespaces declared on rss and channel, so in scope everywhere an edit goes.
    QList<Namespace> namespaces;
    // Every prefix the file declares anywhere.
    QStringList prefixes;

    // The values as read.
    ChannelFields channel;
    // Present when the feed carries any of the elements the publishing details write.
    std::optional<PublishingDetails> details;

    [[nodiscard]] const ByteRange &at(ChannelElement element) const
    {
        return channelElements.at(static_cast<std::size_t>(element));
    }
    [[nodiscard]] QByteArrayView slice(ByteRange range) const
    {
        return QByteArrayView(bytes).sliced(range.begin, range.end - range.begin);
    }
    // The values of an item, read from its text.
    [[nodiscard]] FeedItem item(qsizetype index) const;
    // Reads the channel's values from its elements.
    void readChannelValues();
};
