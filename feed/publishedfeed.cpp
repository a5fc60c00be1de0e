#include "feed/publishedfeed.h"

#include "feed/feeddocument.h"
#include "feed/openedfeedwriter.h"

#include <QStringEncoder>

namespace {

// Items that point to transcripts or chapters need the podcast namespace, declared up front.
void noteItemNamespaces(NamespaceNeeds &needs, const ItemStore &items)
{
    for (qsizetype i = 0; i < items.size(); ++i) {
        const FeedItem &item = *items.entries().at(i).values;
        if (!item.transcriptVttUrl.isEmpty() || !item.transcriptSrtUrl.isEmpty() || !item.chaptersUrl.isEmpty()) {
            (void)needs.need(Namespaces::podcast());
            return;
        }
    }
}

} // namespace

QString publishedFeedDocument(const ChannelFields &channel, const PublishingDetails &details,
                              const ItemStore &items)
{
    return QString::fromUtf8(newFeedBytes(channel, details, items).chopped(2));
}

QByteArray newFeedBytes(const ChannelFields &channel, const std::optional<PublishingDetails> &details,
                        const ItemStore &items)
{
    const ItemElements elements = details ? ItemElements::Publishing : ItemElements::Basic;
    NamespaceNeeds needs = NamespaceNeeds::forNewFeed();
    QString channelPart = channelBlock(channel);
    if (details) {
        // The feed's link to itself is Atom's; the namespace goes first, as it always has.
        (void)needs.need(Namespaces::atom());
        appendPublishingElements(channelPart, *details, needs);
    }
    noteItemNamespaces(needs, items);
    const QString header = headerDeclaring(feedHeaderTemplate(), needs);
    const QString footer = feedFooterTemplate();

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
    for (qsizetype i = 0; i < items.size(); ++i) {
        block.truncate(0);
        appendItemBlock(block, *items.entries().at(i).values, elements, needs);
        append(block);
    }
    append(footer);
    append(u"\r\n");
    return bytes;
}

FeedBytes feedPartsToSave(const ChannelFields &channel, const std::optional<PublishingDetails> &details,
                          const ItemStore &items)
{
    if (items.source())
        return OpenedFeedWriter(*items.source()).write(channel, details, items);
    return FeedBytes(newFeedBytes(channel, details, items));
}

QByteArray feedBytesToSave(const ChannelFields &channel, const std::optional<PublishingDetails> &details,
                           const ItemStore &items)
{
    return feedPartsToSave(channel, details, items).joined();
}
