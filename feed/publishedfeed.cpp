#include "feed/publishedfeed.h"

#include "feed/feeddocument.h"

#include <QStringEncoder>

QString publishedFeedDocument(const ChannelFields &channel, const PublishingDetails &details,
                              const ItemStore &items)
{
    QString channelPart = channelBlock(channel);
    appendPublishingElements(channelPart, details);
    return feedDocument(feedHeaderWithAtom(), channelPart, items.text(ItemElements::Publishing),
                        feedFooterTemplate());
}

QByteArray feedFileBytes(QStringView header, QStringView channelPart, const ItemStore &items,
                         ItemElements elements, QStringView footer)
{
    // Item by item into UTF-8: the text of one item stays in the cache, and the document never
    // exists twice over in memory. QStringEncoder writes no byte-order mark.
    QStringEncoder encoder(QStringEncoder::Utf8);
    QByteArray bytes;
    bytes.reserve(header.size() + channelPart.size() + items.estimatedSize() * 9 / 8 + footer.size() + 2);
    const auto append = [&encoder, &bytes](QStringView text) {
        const qsizetype start = bytes.size();
        bytes.resize(start + encoder.requiredSpace(text.size()));
        char *end = encoder.appendToBuffer(bytes.data() + start, text);
        bytes.truncate(end - bytes.constData());
    };
    append(header);
    append(channelPart);
    QString block;
    for (const FeedItem &item : items.items()) {
        block.truncate(0);
        appendItemBlock(block, item, elements);
        append(block);
    }
    append(footer);
    append(u"\r\n");
    return bytes;
}
