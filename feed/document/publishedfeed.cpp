#include "feed/document/publishedfeed.h"

#include "feed/document/feeddocument.h"

QString publishedFeedDocument(const ChannelFields &channel, const PublishingDetails &details,
                              const ItemStore &items)
{
    QString channelPart = channelBlock(channel);
    appendPublishingElements(channelPart, details);
    return feedDocument(feedHeaderWithAtom(), channelPart, items.text(ItemElements::Publishing),
                        feedFooterTemplate());
}
