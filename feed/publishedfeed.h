#pragma once

#include "feed/channelfields.h"
#include "feed/feedbytes.h"
#include "feed/itemstore.h"
#include "feed/publishingdetails.h"

#include <QString>

#include <optional>

// The feed document with publishing details: the Atom namespace declared in the header, the
// details' elements after the channel block, and every item with its guid and duration.
[[nodiscard]] QString publishedFeedDocument(const ChannelFields &channel, const PublishingDetails &details,
                                            const ItemStore &items);

// The saved file's bytes for a feed made here (its items all added in the window): built in one
// buffer and encoded once, as a feed of thousands of long items is tens of megabytes. With
// details, the publishing elements and each item's guid and duration are written too.
[[nodiscard]] QByteArray newFeedBytes(const ChannelFields &channel, const std::optional<PublishingDetails> &details,
                                      const ItemStore &items);

// What saving writes: an opened feed as it was with the edits made since, or a new feed. The
// parts point into the opened feed's text, which the item store keeps.
[[nodiscard]] FeedBytes feedPartsToSave(const ChannelFields &channel,
                                        const std::optional<PublishingDetails> &details, const ItemStore &items);
// The same in one piece.
[[nodiscard]] QByteArray feedBytesToSave(const ChannelFields &channel,
                                         const std::optional<PublishingDetails> &details, const ItemStore &items);
